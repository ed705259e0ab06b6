#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <limits>
#include <random>
#include <string>

#include <gtest/gtest.h>

#include "console_io.h"

namespace {

std::string formatted(double value)
{
	char out[result_field_max];
	return {out, format_result(value, out)};
}

std::string printf_formatted(double value)
{
	char out[64];
	int n = std::snprintf(out, sizeof out, "%8.4g", value);
	return {out, static_cast<std::size_t>(n)};
}

TEST(result_format, worked_examples)
{
	constexpr double inf = std::numeric_limits<double>::infinity();
	EXPECT_EQ(formatted(0.09777494221485595), " 0.09777");
	EXPECT_EQ(formatted(1.0), "       1");
	EXPECT_EQ(formatted(0.1), "     0.1");
	EXPECT_EQ(formatted(1.0227569327553740), "   1.023");
	EXPECT_EQ(formatted(3.911e-05), "3.911e-05");
	EXPECT_EQ(formatted(9999.5), "   1e+04");
	EXPECT_EQ(formatted(-1234.5), "   -1234");
	EXPECT_EQ(formatted(-1.7976931348623157e308), "-1.798e+308");
	EXPECT_EQ(formatted(inf), "     inf");
	EXPECT_EQ(formatted(-inf), "    -inf");
	EXPECT_EQ(formatted(std::numeric_limits<double>::quiet_NaN()), "     nan");
	EXPECT_EQ(formatted(-0.0), "      -0");
}

TEST(result_format, matches_printf)
{
	const double boundaries[] = {
		0.0, 9999.5, 9999.4999999, 99995.0, 0.000099995, 0.0001, 0.00009999,
		0.00099995, 1e-4, 1e4, 123456789.0, 5e-324, 2.2250738585072014e-308,
		1.7976931348623157e308, 0.5, 1.00005, 1.00015, 12.345, 0.12345,
	};
	for (double v : boundaries) {
		EXPECT_EQ(formatted(v), printf_formatted(v));
		EXPECT_EQ(formatted(-v), printf_formatted(-v));
	}
	std::mt19937_64 rng(20070529);
	std::uniform_real_distribution<double> exponent(-12.0, 12.0);
	for (int i = 0; i < 100000; i++) {
		double wide = std::pow(10.0, exponent(rng));
		std::uint64_t bits = rng();
		double any;
		std::memcpy(&any, &bits, sizeof any);
		ASSERT_EQ(formatted(wide), printf_formatted(wide));
		ASSERT_EQ(formatted(any), printf_formatted(any)) << std::hexfloat << any;
	}
}

TEST(result_format, matches_printf_on_millions_of_doubles)
{
	std::mt19937_64 rng(29);
	std::uniform_real_distribution<double> exponent(-20.0, 20.0);
	for (int i = 0; i < 3000000; i++) {
		double v = 0.0;
		switch (i % 3) {
		case 0: // any bit pattern: subnormals, infinities, NaNs of both signs
			v = std::bit_cast<double>(rng());
			break;
		case 1:
			v = std::pow(10.0, exponent(rng));
			break;
		default: { // at and beside a tie of the fifth digit, e.g. 9999.5
			auto digits = static_cast<double>(10000 + rng() % 90000) + 0.5;
			v = digits * std::pow(10.0, static_cast<int>(rng() % 40) - 24);
			v = std::nextafter(v, rng() % 2 ? 0.0 : HUGE_VAL);
			break;
		}
		}
		ASSERT_EQ(formatted(v), printf_formatted(v)) << std::hexfloat << v;
	}
	for (double v : {9999.5, 99995.0, 0.000099995, 0.00099995, 999.95, 1e-5,
	                 9.9995e-5, 9.9995e14, 9.9995e15}) {
		EXPECT_EQ(formatted(v), printf_formatted(v));
		EXPECT_EQ(formatted(std::nextafter(v, 0.0)), printf_formatted(std::nextafter(v, 0.0)));
		EXPECT_EQ(formatted(std::nextafter(v, 1e300)), printf_formatted(std::nextafter(v, 1e300)));
	}
}

} // namespace
