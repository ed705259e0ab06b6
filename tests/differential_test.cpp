// The reply scanner against the C library functions it must agree with.
#include <algorithm>
#include <bit>
#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>

#include <gtest/gtest.h>

#include "console_input.h"

namespace {

// Texts built from the pieces of numbers, often well formed, often not.
std::string random_real_text(std::mt19937_64 &rng)
{
	static const char *const pieces[] = {
		"0", "1", "7", "9", "12", "000", "99999999999999999999", ".", ".",
		"e", "E", "e-", "e+", "+", "-", "x", "0x", "0X", "p", "P-", "a", "F",
		"inf", "INF", "inity", "nan", "NaN", "(", ")", "_", "9e", "e308",
		"e-324", "e400", "4.9", "2.2250738585072011", "1797693134862315", "5",
	};
	std::string text;
	auto n = 1 + rng() % 6;
	for (std::size_t i = 0; i < n; i++)
		text += pieces[rng() % std::size(pieces)];
	return text;
}

std::string random_decimal_text(std::mt19937_64 &rng)
{
	char buf[64];
	double v = std::ldexp(static_cast<double>(rng() >> 11), static_cast<int>(rng() % 200) - 120);
	switch (rng() % 6) {
	case 0: std::snprintf(buf, sizeof buf, "%.17g", v); break;
	case 1: std::snprintf(buf, sizeof buf, "%.6g", v); break;
	case 2: std::snprintf(buf, sizeof buf, "%.25e", v); break;
	case 3: std::snprintf(buf, sizeof buf, "%.3f", v); break;
	case 4: std::snprintf(buf, sizeof buf, "%a", v); break;
	default: std::snprintf(buf, sizeof buf, "%.40g", v); break;
	}
	return buf;
}

TEST(differential, real_replies_agree_with_strtod)
{
	std::mt19937_64 rng(386);
	int read_count = 0;
	console_input in("");
	for (int i = 0; i < 200000; i++) {
		std::string text = i % 2 ? random_real_text(rng) : random_decimal_text(rng);
		if (rng() % 4 == 0)
			text = (rng() % 2 ? "-" : "+") + text;
		in.load(text + " ");
		double value = 0.0;
		scan_result r = console_scan_real(*in.con, value);
		ASSERT_NE(r, scan_result::end) << text;
		std::size_t taken = text.size() + 1 - in.rest().size();
		char *end = nullptr;
		errno = 0;
		double expected = std::strtod(text.c_str(), &end);
		auto strtod_taken = static_cast<std::size_t>(end - text.c_str());
		if (r == scan_result::read) {
			read_count++;
			ASSERT_EQ(strtod_taken, taken) << text;
			ASSERT_EQ(std::bit_cast<std::uint64_t>(value), std::bit_cast<std::uint64_t>(expected))
				<< text;
		} else {
			ASSERT_NE(strtod_taken, text.size()) << text;
		}
	}
	EXPECT_GT(read_count, 100000);
}

TEST(differential, integer_replies_agree_with_strtol)
{
	std::mt19937_64 rng(2007);
	console_input in("");
	for (int i = 0; i < 100000; i++) {
		std::string text = rng() % 3 == 0 ? (rng() % 2 ? "-" : "+") : "";
		auto digits = 1 + rng() % 25;
		for (std::size_t d = 0; d < digits; d++)
			text += static_cast<char>('0' + rng() % 10);
		in.load(text + " ");
		std::int32_t value = 0;
		ASSERT_EQ(console_scan_integer(*in.con, value), scan_result::read) << text;
		long expected = std::strtol(text.c_str(), nullptr, 10);
		expected = std::clamp<long>(expected, INT32_MIN, INT32_MAX);
		ASSERT_EQ(value, expected) << text;
	}
}

} // namespace
