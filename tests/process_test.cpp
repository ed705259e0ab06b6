// The real program, driven the way other programs drive it.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <string>
#include <string_view>

#include <gtest/gtest.h>

namespace {

constexpr std::string_view opening =
	"\n tarnvelk   ver 1.0   May 29, 2007 \n"
	"\n Written by the tarnvelk authors <tarnvelk@example.org> \n"
	"\n  Select analysis:  \n"
	"\n  1=calculate rel disp  from abs accel "
	"\n  2=calculate abs accel from rel disp \n";
constexpr std::string_view ask_frequency = "\n Enter natural frequency (Hz) \n";
constexpr std::string_view ask_accel = "\n Enter absolute acceleration (G) \n";
constexpr std::string_view ask_another = "\n\n Another case?  1=yes 2=no \n";

struct child {
	pid_t pid;
	int to_stdin;
	int from_stdout;
};

child start_program()
{
	int in[2];
	int out[2];
	if (pipe(in) != 0 || pipe(out) != 0)
		return {-1, -1, -1};
	pid_t pid = fork();
	if (pid == 0) {
		dup2(in[0], STDIN_FILENO);
		dup2(out[1], STDOUT_FILENO);
		close(in[0]);
		close(in[1]);
		close(out[0]);
		close(out[1]);
		execl(TARNVELK_EXE, TARNVELK_EXE, static_cast<char *>(nullptr));
		_exit(127);
	}
	close(in[0]);
	close(out[1]);
	return {pid, in[1], out[0]};
}

// Reads until the output so far ends with the prompt, or gives up after a
// few seconds without output, as a person at the console would.
bool await_prompt(const child &c, std::string &seen, std::string_view prompt)
{
	while (!seen.ends_with(prompt)) {
		pollfd pfd{c.from_stdout, POLLIN, 0};
		if (poll(&pfd, 1, 5000) != 1)
			return false;
		char buf[4096];
		ssize_t n = read(c.from_stdout, buf, sizeof buf);
		if (n <= 0)
			return false;
		seen.append(buf, static_cast<std::size_t>(n));
	}
	return true;
}

int wait_status(pid_t pid)
{
	int status = 0;
	waitpid(pid, &status, 0);
	return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

TEST(program, shows_each_prompt_before_waiting_for_its_reply)
{
	struct step {
		std::string_view prompt;
		std::string_view reply;
	};
	const step steps[] = {
		{opening, "1\n"},
		{ask_frequency, "10\n"},
		{ask_accel, "1\n"},
		{ask_another, "1\n"},
		{ask_frequency, "500"},
		{ask_frequency, "\n"},
		{ask_accel, "1 "},
		{ask_another, "2\n"},
	};
	child c = start_program();
	ASSERT_GT(c.pid, 0);
	std::string seen;
	for (const step &s : steps) {
		ASSERT_TRUE(await_prompt(c, seen, s.prompt))
			<< "no prompt \"" << s.prompt << "\" after:\n" << seen;
		ASSERT_EQ(write(c.to_stdin, s.reply.data(), s.reply.size()),
		          static_cast<ssize_t>(s.reply.size()));
	}
	close(c.to_stdin);
	char buf[256];
	for (ssize_t n; (n = read(c.from_stdout, buf, sizeof buf)) > 0;)
		seen.append(buf, static_cast<std::size_t>(n));
	close(c.from_stdout);
	EXPECT_EQ(wait_status(c.pid), 1);
	EXPECT_EQ(seen, std::string(opening) + std::string(ask_frequency) +
	                    std::string(ask_accel) +
	                    "\n\n  rel disp =  0.09777 inch\n abs accel =        1 G\n" +
	                    std::string(ask_another) + std::string(ask_frequency) +
	                    std::string(ask_accel) +
	                    "\n\n  rel disp = 3.911e-05 inch\n abs accel =        1 G\n" +
	                    std::string(ask_another));
}

struct shell_result {
	int status;
	std::string output;
};

shell_result run_shell(const std::string &command)
{
	std::string line = "timeout 20 sh -c '" + command + "' 2>&1";
	FILE *p = popen(line.c_str(), "r");
	shell_result r{-1, ""};
	if (p == nullptr)
		return r;
	char buf[256];
	for (size_t n; (n = fread(buf, 1, sizeof buf, p)) > 0;)
		r.output.append(buf, n);
	int status = pclose(p);
	r.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
	return r;
}

TEST(program, reports_output_that_cannot_be_written)
{
	const std::string exe = TARNVELK_EXE;
	struct row {
		std::string command;
		std::string message;
	};
	const row rows[] = {
		{"echo 1 10 1 2 | " + exe + " >/dev/full",
		 "tarnvelk: write error: No space left on device\n"},
		{"yes 1 | " + exe + " >/dev/full",
		 "tarnvelk: write error: No space left on device\n"},
		{exe + " </dev/null >&-", "tarnvelk: write error: Bad file descriptor\n"},
		{"yes 1 | " + exe + " >&-", "tarnvelk: write error: Bad file descriptor\n"},
	};
	for (const row &r : rows) {
		SCOPED_TRACE(r.command);
		shell_result got = run_shell(r.command);
		EXPECT_EQ(got.status, 2);
		EXPECT_EQ(got.output, r.message);
	}
}

} // namespace
