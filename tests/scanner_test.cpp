#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <string>

#include <gtest/gtest.h>

#include "console_input.h"

namespace {

using namespace std::string_literals;

constexpr double inf = std::numeric_limits<double>::infinity();
constexpr double nan = std::numeric_limits<double>::quiet_NaN();
constexpr auto read = scan_result::read;
constexpr auto unreadable = scan_result::unreadable;
constexpr auto end = scan_result::end;

const char *name(scan_result r)
{
	return r == read ? "read" : r == unreadable ? "unreadable" : "end";
}

struct integer_row {
	std::string input;
	scan_result result;
	std::int32_t value;
	std::string rest;
};

TEST(scanner, integer_replies)
{
	const integer_row rows[] = {
		{"1", read, 1, ""},
		{" \t\n\v\f\r42 x", read, 42, " x"},
		{"+7\n", read, 7, "\n"},
		{"-3 ", read, -3, " "},
		{"007", read, 7, ""},
		{"1.5\n", read, 1, ".5\n"},
		{"12abc", read, 12, "abc"},
		{"2147483647", read, 2147483647, ""},
		{"2147483648", read, 2147483647, ""},
		{"4294967297", read, 2147483647, ""},
		{"-2147483648", read, -2147483647 - 1, ""},
		{"-99999999999999999999", read, -2147483647 - 1, ""},
		{"abc 5", unreadable, 99, " 5"},
		{"- 5", unreadable, 99, " 5"},
		{"-x1 2", unreadable, 99, " 2"},
		{"\0\xff\xfe 3"s, unreadable, 99, " 3"},
		{"", end, 99, ""},
		{" \n\t ", end, 99, ""},
		{"+", end, 99, ""},
	};
	for (const integer_row &r : rows) {
		SCOPED_TRACE("input \"" + r.input + "\"");
		console_input in(r.input);
		std::int32_t value = 99;
		EXPECT_STREQ(name(console_scan_integer(*in.con, value)), name(r.result));
		EXPECT_EQ(value, r.value);
		EXPECT_EQ(in.rest(), r.rest);
	}
}

struct real_row {
	std::string input;
	scan_result result;
	double value;
	std::string rest;
};

TEST(scanner, real_replies)
{
	const real_row rows[] = {
		{"10", read, 10.0, ""},
		{"\n\n 0.1\n", read, 0.1, "\n"},
		{".5", read, 0.5, ""},
		{"1.", read, 1.0, ""},
		{"-0", read, -0.0, ""},
		{"+2.5e3x", read, 2500.0, "x"},
		{"1E-2 ", read, 0.01, " "},
		{"12 34", read, 12.0, " 34"},
		{"0.30000000000000001665", read, 0x1.3333333333333p-2, ""},
		{"0.3000000000000000166533453693773481063544750213623046875", read,
		 0x1.3333333333334p-2, ""},
		{"2.2250738585072011e-308", read, 0x0.fffffffffffffp-1022, ""},
		{"1e400", read, inf, ""},
		{"-1e400", read, -inf, ""},
		{"1e-400", read, 0.0, ""},
		{"4.9e-324", read, 0x0.0000000000001p-1022, ""},
		{"0x1.8p3", read, 12.0, ""},
		{"0X.8P+1,", read, 1.0, ","},
		{"-0x10", read, -16.0, ""},
		{"0x1p-1074", read, 0x0.0000000000001p-1022, ""},
		{"0", read, 0.0, ""},
		{"0xg 1", unreadable, 99.0, " 1"},
		{"inf", read, inf, ""},
		{"-Infinity", read, -inf, ""},
		{"INFINITYx", read, inf, "x"},
		{"infx", read, inf, "x"},
		{"nan", read, nan, ""},
		{"-NaN(abc_1) 2", read, nan, " 2"},
		{"nan()", read, nan, ""},
		{"100ergs 5", unreadable, 99.0, " 5"},
		{"1e+x 5", unreadable, 99.0, " 5"},
		{"infin 1", unreadable, 99.0, " 1"},
		{"nan(x y", unreadable, 99.0, " y"},
		{". 3", unreadable, 99.0, " 3"},
		{"abc\tdef", unreadable, 99.0, "\tdef"},
		{"+-1 2", unreadable, 99.0, " 2"},
		{"\0 1"s, unreadable, 99.0, " 1"},
		{"1e", end, 99.0, ""},
		{"0x", end, 99.0, ""},
		{"nan(", end, 99.0, ""},
		{"-", end, 99.0, ""},
		{"  ", end, 99.0, ""},
	};
	for (const real_row &r : rows) {
		SCOPED_TRACE("input \"" + r.input + "\"");
		console_input in(r.input);
		double value = 99.0;
		EXPECT_STREQ(name(console_scan_real(*in.con, value)), name(r.result));
		if (std::isnan(r.value))
			EXPECT_TRUE(std::isnan(value)) << value;
		else
			EXPECT_EQ(std::bit_cast<std::uint64_t>(value),
			          std::bit_cast<std::uint64_t>(r.value))
				<< value << " != " << r.value;
		EXPECT_EQ(in.rest(), r.rest);
	}
}

TEST(scanner, replies_across_buffer_boundaries)
{
	// The number straddles the first read of the console's buffer.
	std::string text(console_buffer_size - 3, ' ');
	text += "123.456e1 7 8";
	console_input in(text);
	double value = 0.0;
	std::int32_t seven = 0;
	std::int32_t eight = 0;
	ASSERT_EQ(console_scan_real(*in.con, value), read);
	EXPECT_EQ(value, 1234.56);
	EXPECT_EQ(console_scan_integer(*in.con, seven), read);
	EXPECT_EQ(console_scan_integer(*in.con, eight), read);
	EXPECT_EQ(seven, 7);
	EXPECT_EQ(eight, 8);
}

TEST(scanner, overlong_replies)
{
	// A real too long for the buffer is dropped whole; an integer that long
	// still saturates.
	const std::string digits = "1" + std::string(3 * console_buffer_size, '0');
	console_input real_in(digits + " 2.5");
	double value = 0.0;
	EXPECT_EQ(console_scan_real(*real_in.con, value), unreadable);
	EXPECT_EQ(console_scan_real(*real_in.con, value), read);
	EXPECT_EQ(value, 2.5);

	console_input integer_in(digits + " 3");
	std::int32_t choice = 0;
	EXPECT_EQ(console_scan_integer(*integer_in.con, choice), read);
	EXPECT_EQ(choice, 2147483647);
	EXPECT_EQ(integer_in.rest(), " 3");
}

} // namespace
