// The scanner follows the rule of C's formatted input: it takes the longest
// run that is, or is a prefix of, a number, so "1e+x" is not a number even
// though strtod() would take its "1".  Unlike scanf(), it drops an unreadable
// reply instead of leaving it to be rejected again forever.
#include "console_io.h"

#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstdlib>
#include <cstring>

namespace {

bool is_space(int c)
{
	return c == ' ' || (c >= '\t' && c <= '\r');
}

bool is_digit(int c)
{
	return c >= '0' && c <= '9';
}

bool is_hex_digit(int c)
{
	return is_digit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

int to_lower(int c)
{
	return c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c;
}

bool is_nan_char(int c)
{
	int l = to_lower(c);
	return is_digit(c) || (l >= 'a' && l <= 'z') || c == '_';
}

void wait_for(int fd, short events)
{
	pollfd pfd{fd, events, 0};
	poll(&pfd, 1, -1);
}

bool write_all(console &con, const char *p, std::size_t n)
{
	while (n > 0) {
		ssize_t w = write(con.out_fd, p, n);
		if (w > 0) {
			p += w;
			n -= static_cast<std::size_t>(w);
		} else if (w < 0 && errno == EINTR) {
			continue;
		} else if (w < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
			wait_for(con.out_fd, POLLOUT);
		} else {
			con.out_errno = w < 0 ? errno : EIO;
			return false;
		}
	}
	return true;
}

// Once output has failed there is nobody to answer, so input counts as
// ended rather than blocking on a terminal that can no longer be seen.
[[gnu::noinline]] bool refill(console &con)
{
	if (con.in_ended || !console_flush(con)) {
		con.in_ended = true;
		return false;
	}
	for (;;) {
		ssize_t r = read(con.in_fd, con.in_buf, sizeof con.in_buf);
		if (r > 0) {
			con.in_pos = 0;
			con.in_len = static_cast<std::size_t>(r);
			return true;
		}
		if (r < 0 && errno == EINTR)
			continue;
		if (r < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
			wait_for(con.in_fd, POLLIN);
			continue;
		}
		con.in_ended = true;
		return false;
	}
}

int peek(console &con)
{
	if (con.in_pos == con.in_len && !refill(con))
		return -1;
	return static_cast<unsigned char>(con.in_buf[con.in_pos]);
}

bool skip_space(console &con)
{
	for (int c = peek(con); c != -1; c = peek(con)) {
		if (!is_space(c))
			return true;
		con.in_pos++;
	}
	return false;
}

scan_result drop_word(console &con)
{
	for (int c = peek(con); c != -1 && !is_space(c); c = peek(con))
		con.in_pos++;
	return scan_result::unreadable;
}

enum class real_state {
	start, sign, zero, digits, dot, fraction, exp_mark, exp_sign,
	exp_digits, hex_mark, hex_digits, hex_dot, hex_fraction, hex_exp_mark,
	hex_exp_sign, hex_exp_digits, word, nan_open, nan_close
};

struct real_scan {
	real_state state;
	const char *word; // "infinity" or "nan" while in real_state::word
	std::size_t word_len;
};

bool step_number_start(real_scan &s, int c)
{
	int l = to_lower(c);
	if (c == '0')
		s.state = real_state::zero;
	else if (is_digit(c))
		s.state = real_state::digits;
	else if (c == '.')
		s.state = real_state::dot;
	else if (l == 'i' || l == 'n') {
		s.state = real_state::word;
		s.word = l == 'i' ? "infinity" : "nan";
		s.word_len = 1;
	} else
		return false;
	return true;
}

bool step_real(real_scan &s, int c)
{
	using enum real_state;
	int l = to_lower(c);
	switch (s.state) {
	case start:
		if (c == '+' || c == '-') {
			s.state = sign;
			return true;
		}
		return step_number_start(s, c);
	case sign:
		return step_number_start(s, c);
	case zero:
		if (l == 'x') {
			s.state = hex_mark;
			return true;
		}
		[[fallthrough]];
	case digits:
		if (is_digit(c))
			s.state = digits;
		else if (c == '.')
			s.state = fraction;
		else if (l == 'e')
			s.state = exp_mark;
		else
			return false;
		return true;
	case dot:
		if (!is_digit(c))
			return false;
		s.state = fraction;
		return true;
	case fraction:
		if (l == 'e')
			s.state = exp_mark;
		return is_digit(c) || l == 'e';
	case exp_mark:
		if (c == '+' || c == '-') {
			s.state = exp_sign;
			return true;
		}
		[[fallthrough]];
	case exp_sign:
	case exp_digits:
		if (!is_digit(c))
			return false;
		s.state = exp_digits;
		return true;
	case hex_mark:
	case hex_digits:
		if (is_hex_digit(c))
			s.state = hex_digits;
		else if (c == '.')
			s.state = s.state == hex_mark ? hex_dot : hex_fraction;
		else if (l == 'p' && s.state == hex_digits)
			s.state = hex_exp_mark;
		else
			return false;
		return true;
	case hex_dot:
	case hex_fraction:
		if (is_hex_digit(c))
			s.state = hex_fraction;
		else if (l == 'p' && s.state == hex_fraction)
			s.state = hex_exp_mark;
		else
			return false;
		return true;
	case hex_exp_mark:
		if (c == '+' || c == '-') {
			s.state = hex_exp_sign;
			return true;
		}
		[[fallthrough]];
	case hex_exp_sign:
	case hex_exp_digits:
		if (!is_digit(c))
			return false;
		s.state = hex_exp_digits;
		return true;
	case word:
		if (s.word[s.word_len] != '\0' && l == s.word[s.word_len]) {
			s.word_len++;
			return true;
		}
		if (c == '(' && s.word_len == 3 && s.word[0] == 'n') {
			s.state = nan_open;
			return true;
		}
		return false;
	case nan_open:
		if (c == ')')
			s.state = nan_close;
		return c == ')' || is_nan_char(c);
	case nan_close:
		return false;
	}
	return false;
}

bool is_complete(const real_scan &s)
{
	using enum real_state;
	switch (s.state) {
	case zero:
	case digits:
	case fraction:
	case exp_digits:
	case hex_digits:
	case hex_fraction:
	case hex_exp_digits:
	case nan_close:
		return true;
	case word:
		return s.word_len == 3 || s.word_len == 8;
	default:
		return false;
	}
}

bool is_plain_decimal(const real_scan &s)
{
	using enum real_state;
	return s.state == zero || s.state == digits || s.state == fraction ||
	       s.state == exp_digits;
}

// from_chars is much faster than strtod and rounds the same way, but takes
// no '+' and reports values out of range instead of rounding them; strtod
// settles everything it does not take.
double decimal_value(const char *text, std::size_t len)
{
	const char *digits = text + (text[0] == '+' || text[0] == '-');
	double magnitude = 0.0;
	auto [end, ec] = std::from_chars(digits, text + len, magnitude);
	if (ec == std::errc{} && end == text + len)
		return text[0] == '-' ? -magnitude : magnitude;
	return std::strtod(text, nullptr);
}

} // namespace

void console_open(console &con, int in_fd, int out_fd)
{
	con.in_fd = in_fd;
	con.out_fd = out_fd;
	con.in_pos = 0;
	con.in_len = 0;
	con.in_ended = false;
	con.out_len = 0;
	con.out_errno = 0;
}

bool console_flush(console &con)
{
	if (con.out_errno != 0)
		return false;
	std::size_t n = con.out_len;
	con.out_len = 0;
	return write_all(con, con.out_buf, n);
}

void console_put(console &con, std::string_view text)
{
	if (con.out_errno != 0)
		return;
	if (text.size() > sizeof con.out_buf - con.out_len) {
		if (!console_flush(con))
			return;
		if (text.size() > sizeof con.out_buf) {
			write_all(con, text.data(), text.size());
			return;
		}
	}
	std::memcpy(con.out_buf + con.out_len, text.data(), text.size());
	con.out_len += text.size();
}

void console_put_result(console &con, double value)
{
	if (result_field_max > sizeof con.out_buf - con.out_len &&
	    !console_flush(con))
		return;
	if (con.out_errno != 0)
		return;
	con.out_len += format_result(value, con.out_buf + con.out_len);
}

std::size_t format_result(double value, char *out)
{
	constexpr std::size_t width = 8;
	char digits[result_field_max];
	auto end = std::to_chars(digits, digits + sizeof digits, value,
	                         std::chars_format::general, 4).ptr;
	auto len = static_cast<std::size_t>(end - digits);
	std::size_t pad = len < width ? width - len : 0;
	std::memset(out, ' ', pad);
	std::memcpy(out + pad, digits, len);
	return pad + len;
}

scan_result console_scan_integer(console &con, std::int32_t &value)
{
	constexpr std::int64_t limit = std::int64_t{1} << 31;
	if (con.out_errno != 0 || !skip_space(con))
		return scan_result::end;
	bool negative = false;
	bool any_digit = false;
	std::int64_t magnitude = 0;
	int c = peek(con);
	if (c == '+' || c == '-') {
		negative = c == '-';
		con.in_pos++;
		c = peek(con);
	}
	for (; is_digit(c); c = peek(con)) {
		magnitude = std::min(magnitude * 10 + (c - '0'), limit);
		any_digit = true;
		con.in_pos++;
	}
	if (!any_digit)
		return c == -1 ? scan_result::end : drop_word(con);
	value = static_cast<std::int32_t>(negative ? -magnitude
	                                           : std::min(magnitude, limit - 1));
	return scan_result::read;
}

scan_result console_scan_real(console &con, double &value)
{
	if (con.out_errno != 0 || !skip_space(con))
		return scan_result::end;
	real_scan s{real_state::start, nullptr, 0};
	std::size_t len = 0;
	bool too_long = false;
	int c = peek(con);
	for (; c != -1 && step_real(s, c); c = peek(con)) {
		if (len < console_buffer_size)
			con.token[len++] = static_cast<char>(c);
		else
			too_long = true;
		con.in_pos++;
	}
	if (!is_complete(s))
		return c == -1 ? scan_result::end : drop_word(con);
	if (too_long)
		return drop_word(con);
	con.token[len] = '\0';
	value = is_plain_decimal(s) ? decimal_value(con.token, len)
	                            : std::strtod(con.token, nullptr);
	return scan_result::read;
}
