/*
 * Runs two programs one after the other, RUNS times each, with standard
 * input from FILE and output to /dev/null, and prints for every pair the
 * wall time in nanoseconds and the peak resident set in KiB of each.
 *
 * The programs are started with posix_spawn from this small process, so
 * neither time nor memory includes the copy of a large parent that a fork
 * from a script would bring along.
 *
 * usage: spawn_times RUNS FILE PROGRAM_A PROGRAM_B
 */
#define _GNU_SOURCE
#include <fcntl.h>
#include <spawn.h>
#include <stdio.h>
#include <stdlib.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

extern char **environ;

static long long now_ns(void)
{
	struct timespec t;
	clock_gettime(CLOCK_MONOTONIC, &t);
	return (long long)t.tv_sec * 1000000000LL + t.tv_nsec;
}

static int run(const char *program, const char *input, long long *ns, long *rss_kib)
{
	posix_spawn_file_actions_t actions;
	posix_spawn_file_actions_init(&actions);
	posix_spawn_file_actions_addopen(&actions, 0, input, O_RDONLY, 0);
	posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
	char *argv[] = {(char *)program, NULL};
	long long start = now_ns();
	pid_t pid;
	if (posix_spawn(&pid, program, &actions, NULL, argv, environ) != 0)
		return -1;
	int status;
	struct rusage usage;
	if (wait4(pid, &status, 0, &usage) != pid)
		return -1;
	*ns = now_ns() - start;
	*rss_kib = usage.ru_maxrss;
	posix_spawn_file_actions_destroy(&actions);
	return 0;
}

int main(int argc, char **argv)
{
	if (argc != 5) {
		fprintf(stderr, "usage: spawn_times RUNS FILE PROGRAM_A PROGRAM_B\n");
		return 2;
	}
	int runs = atoi(argv[1]);
	for (int i = 0; i < runs; i++) {
		long long a_ns, b_ns;
		long a_rss, b_rss;
		if (run(argv[3], argv[2], &a_ns, &a_rss) != 0 ||
		    run(argv[4], argv[2], &b_ns, &b_rss) != 0) {
			perror("spawn_times");
			return 2;
		}
		printf("%lld %lld %ld %ld\n", a_ns, b_ns, a_rss, b_rss);
	}
	return 0;
}
