// The real program, driven the way other programs drive it.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <functional>
#include <string>
#include <string_view>

#include <gtest/gtest.h>

#include "output_grammar.h"

namespace {

using output_grammar::ask_accel;
using output_grammar::ask_another;
using output_grammar::ask_frequency;
const std::string opening = std::string(output_grammar::banner) + std::string(output_grammar::menu);

struct child {
	pid_t pid;
	int to_stdin;
	int from_stdout;
};

// Starts the program with its standard input and output on pipes, or its
// output on /dev/null.
child start_program(bool output_to_null = false)
{
	int in[2];
	int out[2];
	if (pipe(in) != 0 || pipe(out) != 0)
		return {-1, -1, -1};
	pid_t pid = fork();
	if (pid == 0) {
		dup2(in[0], STDIN_FILENO);
		dup2(output_to_null ? open("/dev/null", O_WRONLY) : out[1], STDOUT_FILENO);
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

// The exit status as a shell reports it: 128 plus the signal for a kill.
int exit_code(int status)
{
	return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

int wait_status(pid_t pid)
{
	int status = 0;
	waitpid(pid, &status, 0);
	return exit_code(status);
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
	r.status = exit_code(status);
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

TEST(program, takes_a_read_error_as_the_end_of_the_input)
{
	// Reading a directory fails with EISDIR.
	shell_result got = run_shell(std::string(TARNVELK_EXE) + " </; echo \"status $?\"");
	EXPECT_EQ(got.output, opening + "status 1\n");
}

TEST(program, ends_quietly_when_its_reader_goes_away)
{
	const std::string exe = TARNVELK_EXE;
	shell_result got = run_shell("yes 1 | " + exe + " | head -c 100 | wc -c");
	EXPECT_EQ(got.status, 0);
	EXPECT_EQ(got.output, "100\n");
}

struct fed_run {
	int status;
	long peak_rss_kib;
};

// Runs the program, output to /dev/null, on what feed writes into its input.
fed_run run_fed(const std::function<bool(int)> &feed)
{
	child c = start_program(true);
	if (c.pid <= 0)
		return {-1, 0};
	close(c.from_stdout);
	signal(SIGPIPE, SIG_IGN);
	feed(c.to_stdin);
	close(c.to_stdin);
	int status = 0;
	rusage usage{};
	wait4(c.pid, &status, 0, &usage);
	return {exit_code(status), usage.ru_maxrss};
}

bool write_all(int fd, std::string_view text)
{
	while (!text.empty()) {
		ssize_t n = write(fd, text.data(), text.size());
		if (n <= 0)
			return false;
		text.remove_prefix(static_cast<std::size_t>(n));
	}
	return true;
}

bool write_repeated(int fd, std::string_view prefix, std::string_view unit,
                    std::size_t total, std::string_view suffix)
{
	std::string chunk;
	while (chunk.size() < 65536)
		chunk += unit;
	if (!write_all(fd, prefix))
		return false;
	for (std::size_t done = 0; done < total; done += chunk.size())
		if (!write_all(fd, std::string_view(chunk).substr(0, std::min(chunk.size(), total - done))))
			return false;
	return write_all(fd, suffix);
}

// A sanitizer's shadow memory and allocator would be measured with the
// program, so its memory is judged only in a plain build.
#if defined(__SANITIZE_ADDRESS__)
constexpr bool measures_memory = false;
#elif defined(__has_feature)
constexpr bool measures_memory = !__has_feature(address_sanitizer);
#else
constexpr bool measures_memory = true;
#endif

TEST(program, hostile_input_ends_in_bounded_memory)
{
	constexpr std::size_t hundred_mb = 100 * 1000 * 1000;
	struct row {
		const char *what;
		std::string_view prefix, unit;
		std::size_t total;
		std::string_view suffix;
	};
	const row rows[] = {
		{"a 100 MB word at the menu", "", "a", hundred_mb, " 1 10 1 2"},
		{"a 100 MB run of digits at the menu", "", "7", hundred_mb, " 10 1 2"},
		{"a 100 MB run of digits as a real", "1 ", "9", hundred_mb, " 10 1 2"},
		{"100 MB of white space", "", " \n\t", hundred_mb, "2 10 1 2"},
		{"100 MB of NUL bytes", "", std::string_view("\0", 1), hundred_mb, ""},
		{"a million cases", "1\n", "10\n1\n1\n", 6000000, "10 1 2\n"},
	};
	for (const row &r : rows) {
		SCOPED_TRACE(r.what);
		fed_run got = run_fed([&](int fd) {
			return write_repeated(fd, r.prefix, r.unit, r.total, r.suffix);
		});
		EXPECT_EQ(got.status, 1);
		if (measures_memory) {
			EXPECT_LT(got.peak_rss_kib, 16 * 1024);
		}
	}
}

TEST(program, replies_do_not_change_when_split_into_single_bytes)
{
	const std::string input = "2\n1.5e1\n0.125\n1\n-0x1p-2\n1e3\n7\n 12abc 40 0.5 2\n";
	auto output_for = [&](bool byte_by_byte) {
		child c = start_program();
		for (std::size_t i = 0; i < input.size(); i++) {
			if (!byte_by_byte) {
				write_all(c.to_stdin, input);
				break;
			}
			write_all(c.to_stdin, input.substr(i, 1));
			usleep(1000);
		}
		close(c.to_stdin);
		std::string seen;
		char buf[4096];
		for (ssize_t n; (n = read(c.from_stdout, buf, sizeof buf)) > 0;)
			seen.append(buf, static_cast<std::size_t>(n));
		close(c.from_stdout);
		EXPECT_EQ(wait_status(c.pid), 1);
		return seen;
	};
	std::string whole = output_for(false);
	EXPECT_NE(whole.find("abs accel =    2.877 G"), std::string::npos) << whole;
	EXPECT_EQ(output_for(true), whole);
}

} // namespace
