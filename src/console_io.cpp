// The scanner follows the rule of C's formatted input: it takes the longest
// run that is, or is a prefix of, a number, so "1e+x" is not a number even
// though strtod() would take its "1".  Unlike scanf(), it drops an unreadable
// reply instead of leaving it to be rejected again forever.
#include "console_io.h"

#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <bit>
#include <cerrno>
#include <charconv>
#include <cmath>
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

bool is_sign(int c)
{
	return c == '+' || c == '-';
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
		if (is_sign(c)) {
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
		if (is_sign(c)) {
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
		if (is_sign(c)) {
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

constexpr double exact_powers_of_ten[] = {
	1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8, 1e9, 1e10, 1e11,
	1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22,
};
constexpr int max_exact_power = 22;

// Scales by 10^power with a single rounding, which needs an exact power.
double scaled_by_power_of_ten(double x, int power)
{
	auto index = static_cast<std::size_t>(power < 0 ? -power : power);
	return power < 0 ? x / exact_powers_of_ten[index]
	                 : x * exact_powers_of_ten[index];
}

// Rounds magnitude to four significant digits, as printf does: gives the
// digits (1000 to 9999) and the decimal exponent of the first one.  The one
// rounding in the scaling is far smaller than the margin kept around ties,
// so the result is exact; near a tie, and far from 1 where the scale would
// not be exact, it gives false and the library decides.
bool round_to_four_digits(double magnitude, int &digits, int &exponent)
{
	if (!(magnitude >= 1e-15 && magnitude < 1e15))
		return false;
	int binary_exponent =
		static_cast<int>(std::bit_cast<std::uint64_t>(magnitude) >> 52) - 1023;
	int e = (binary_exponent * 1233) >> 12; // within one of the decade
	for (int tries = 0; tries < 3; tries++) {
		double scaled = scaled_by_power_of_ten(magnitude, 3 - e);
		if (scaled < 1000.0) {
			e--;
			continue;
		}
		if (scaled >= 10000.0) {
			e++;
			continue;
		}
		auto whole = static_cast<int>(scaled);
		double fraction = scaled - whole;
		if (std::fabs(fraction - 0.5) < 1e-6)
			return false;
		digits = fraction > 0.5 ? whole + 1 : whole;
		exponent = e;
		if (digits == 10000) {
			digits = 1000;
			exponent++;
		}
		return true;
	}
	return false;
}

// Writes digits * 10^(exponent - 3) as "%.4g" does, trailing zeros dropped.
std::size_t spell_four_digits(bool negative, int digits, int exponent, char *out)
{
	char d[4];
	for (int i = 3; i >= 0; i--) {
		d[i] = static_cast<char>('0' + digits % 10);
		digits /= 10;
	}
	int kept = 4;
	while (kept > 1 && d[kept - 1] == '0')
		kept--;
	char *p = out;
	if (negative)
		*p++ = '-';
	if (exponent >= 0 && exponent <= 3) {
		for (int i = 0; i <= exponent; i++)
			*p++ = d[i];
		if (kept > exponent + 1)
			*p++ = '.';
		for (int i = exponent + 1; i < kept; i++)
			*p++ = d[i];
	} else if (exponent < 0 && exponent >= -4) {
		*p++ = '0';
		*p++ = '.';
		for (int i = -1; i > exponent; i--)
			*p++ = '0';
		for (int i = 0; i < kept; i++)
			*p++ = d[i];
	} else {
		*p++ = d[0];
		if (kept > 1)
			*p++ = '.';
		for (int i = 1; i < kept; i++)
			*p++ = d[i];
		*p++ = 'e';
		*p++ = exponent < 0 ? '-' : '+';
		int magnitude = exponent < 0 ? -exponent : exponent;
		*p++ = static_cast<char>('0' + magnitude / 10);
		*p++ = static_cast<char>('0' + magnitude % 10);
	}
	return static_cast<std::size_t>(p - out);
}

// The common reply, a decimal lying whole in the buffer, read without
// copying it.  A mantissa up to 2^53 and a power of ten up to 10^22 are
// exact, so one multiplication or division rounds the value correctly;
// from_chars, which rounds the same way as strtod, takes other decimals of
// up to 19 digits.  Anything else, or a run that may go on past the
// buffer, gives false and is left to the general scan and strtod.
bool scan_plain_decimal(console &con, double &value)
{
	const char *p = con.in_buf + con.in_pos;
	const char *end = con.in_buf + con.in_len;
	bool negative = *p == '-';
	if (is_sign(*p))
		p++;
	const char *number = p;
	std::uint64_t mantissa = 0;
	int digit_count = 0;
	int scale = 0;
	for (; p < end && is_digit(*p); p++, digit_count++)
		mantissa = mantissa * 10 + static_cast<unsigned>(*p - '0');
	bool lone_zero = digit_count == 1 && *number == '0';
	if (p < end && *p == '.') {
		lone_zero = false;
		for (p++; p < end && is_digit(*p); p++, digit_count++, scale--)
			mantissa = mantissa * 10 + static_cast<unsigned>(*p - '0');
	}
	if (digit_count == 0 || digit_count > 19 || p == end)
		return false;
	if (to_lower(*p) == 'e') {
		p++;
		bool negative_exponent = p < end && *p == '-';
		if (p < end && is_sign(*p))
			p++;
		if (p == end || !is_digit(*p))
			return false;
		int exponent = 0;
		for (; p < end && is_digit(*p); p++)
			exponent = std::min(exponent * 10 + (*p - '0'), 100000);
		scale += negative_exponent ? -exponent : exponent;
	} else if (lone_zero && to_lower(*p) == 'x') {
		return false;
	}
	if (p == end)
		return false;
	double magnitude = 0.0;
	if (mantissa <= (std::uint64_t{1} << 53) && scale >= -max_exact_power &&
	    scale <= max_exact_power) {
		magnitude = scaled_by_power_of_ten(static_cast<double>(mantissa), scale);
	} else {
		auto [stop, ec] = std::from_chars(number, p, magnitude);
		if (ec != std::errc{} || stop != p)
			return false;
	}
	value = negative ? -magnitude : magnitude;
	con.in_pos = static_cast<std::size_t>(p - con.in_buf);
	return true;
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

// Once output has failed, what is put is dropped here and in
// console_put_result() when the buffer is full, and by console_flush()
// otherwise.
void console_put_long(console &con, std::string_view text)
{
	if (!console_flush(con))
		return;
	if (text.size() > sizeof con.out_buf) {
		write_all(con, text.data(), text.size());
		return;
	}
	std::memcpy(con.out_buf + con.out_len, text.data(), text.size());
	con.out_len += text.size();
}

void console_put_result(console &con, double value)
{
	if (result_field_max > sizeof con.out_buf - con.out_len &&
	    !console_flush(con))
		return;
	con.out_len += format_result(value, con.out_buf + con.out_len);
}

std::size_t format_result(double value, char *out)
{
	constexpr std::size_t width = 8;
	char text[result_field_max];
	std::size_t len = 0;
	int digits = 0;
	int exponent = 0;
	if (round_to_four_digits(std::fabs(value), digits, exponent))
		len = spell_four_digits(std::signbit(value), digits, exponent, text);
	else
		len = static_cast<std::size_t>(
			std::to_chars(text, text + sizeof text, value,
			              std::chars_format::general, 4).ptr - text);
	std::size_t pad = len < width ? width - len : 0;
	std::memset(out, ' ', pad);
	std::memcpy(out + pad, text, len);
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
	if (is_sign(c)) {
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
	if (scan_plain_decimal(con, value))
		return scan_result::read;
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
	value = std::strtod(con.token, nullptr);
	return scan_result::read;
}
