// Buffered console input and output on raw file descriptors, and the rules
// for scanning numeric replies out of the input.
//
// Output is held back until the program is about to block in read(2) (the
// input buffer is empty), until the buffer fills, or until console_flush().
// That keeps every prompt visible before the program waits for its reply,
// on a terminal and on a pipe alike, while a batch of replies piped in all
// at once costs a few system calls per buffer, not several per reply.
#ifndef TARNVELK_CONSOLE_IO_H
#define TARNVELK_CONSOLE_IO_H

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

inline constexpr std::size_t console_buffer_size = std::size_t{64} * 1024;

struct console {
	int in_fd;
	int out_fd;
	std::size_t in_pos;
	std::size_t in_len;
	bool in_ended;
	std::size_t out_len;
	int out_errno; // the first write error; once set, output is dropped
	char in_buf[console_buffer_size];
	char out_buf[console_buffer_size];
	char token[console_buffer_size + 1];
};

enum class scan_result { read, unreadable, end };

void console_open(console &con, int in_fd, int out_fd);
void console_put_long(console &con, std::string_view text);
void console_put_result(console &con, double value);
bool console_flush(console &con);

// Output is put once or more per prompt, so the common case is inline.
inline void console_put(console &con, std::string_view text)
{
	if (text.size() > sizeof con.out_buf - con.out_len) {
		console_put_long(con, text);
		return;
	}
	std::memcpy(con.out_buf + con.out_len, text.data(), text.size());
	con.out_len += text.size();
}

// White space is skipped, then the longest run of characters that is, or
// could still become, a number of the kind asked for is taken; the first
// character that cannot continue it stays in the input.  A complete run is
// stored and gives read.  An incomplete run (a word, a lone sign, "1e+")
// stores nothing, is dropped together with everything up to the next white
// space, and gives unreadable.  The end of the input, a read error or a
// failed write before a complete run gives end.
//
// Integers are an optional sign and decimal digits, saturated to 32 bits.
// Reals are anything strtod() takes in the C locale: decimal, hexadecimal,
// inf, infinity, nan and nan(chars), in any case, with an optional sign.
scan_result console_scan_integer(console &con, std::int32_t &value);
scan_result console_scan_real(console &con, double &value);

// Writes value as printf("%8.4g") would into out, which must hold at least
// result_field_max bytes; gives the number of bytes written.
inline constexpr std::size_t result_field_max = 32;
std::size_t format_result(double value, char *out);

#endif
