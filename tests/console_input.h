// A console whose input is a given text, held in an anonymous file so that
// texts longer than the console's buffer arrive in several reads.
#ifndef TARNVELK_TESTS_CONSOLE_INPUT_H
#define TARNVELK_TESTS_CONSOLE_INPUT_H

#include <sys/mman.h>
#include <unistd.h>

#include <memory>
#include <string>
#include <string_view>

#include "console_io.h"

struct console_input {
	std::unique_ptr<console> con = std::make_unique<console>();
	int fd;

	explicit console_input(std::string_view text) : fd(memfd_create("console-input", 0))
	{
		load(text);
	}

	// Starts over on another text, reusing the file and the console.
	void load(std::string_view text)
	{
		if (ftruncate(fd, 0) != 0)
			return;
		lseek(fd, 0, SEEK_SET);
		for (std::size_t done = 0; done < text.size();) {
			ssize_t w = write(fd, text.data() + done, text.size() - done);
			if (w <= 0)
				break;
			done += static_cast<std::size_t>(w);
		}
		lseek(fd, 0, SEEK_SET);
		console_open(*con, fd, -1);
	}
	~console_input() { close(fd); }
	console_input(const console_input &) = delete;
	console_input &operator=(const console_input &) = delete;

	// What a later scan would see: the buffered rest and the unread rest.
	std::string rest()
	{
		std::string s(con->in_buf + con->in_pos, con->in_len - con->in_pos);
		char buf[4096];
		for (ssize_t r; (r = read(fd, buf, sizeof buf)) > 0;)
			s.append(buf, static_cast<std::size_t>(r));
		return s;
	}
};

#endif
