// Expected values were worked out outside the program: the decimal ones to
// 40 digits by hand-checked exact arithmetic, the bit patterns by stepping
// through each relation in another language's IEEE doubles in the order
// given, where any other order of the factors gives a different last bit.
#include <cmath>
#include <limits>

#include <gtest/gtest.h>

#include "oscillator_relations.h"

namespace {

double disp_in(double accel_g, double freq_hz)
{
	return rel_disp_from_abs_accel(accel_g, omega_squared(angular_frequency(freq_hz)));
}

double accel_g(double disp_in, double freq_hz)
{
	return abs_accel_from_rel_disp(disp_in, omega_squared(angular_frequency(freq_hz)));
}

TEST(oscillator_relations, constants)
{
	EXPECT_EQ(pi, 3.141592653589793);
	EXPECT_EQ(in_per_s2_per_g, 386.0);
	EXPECT_EQ(g_per_in_per_s2, 0.0025906735751295338);
}

TEST(oscillator_relations, worked_values)
{
	EXPECT_DOUBLE_EQ(disp_in(1.0, 10.0), 0.09777494221485594944);
	EXPECT_DOUBLE_EQ(disp_in(1.0, 1.0), 9.777494221485594944);
	EXPECT_DOUBLE_EQ(accel_g(0.1, 10.0), 1.022756932755373950);
	EXPECT_DOUBLE_EQ(angular_frequency(10.0), 62.83185307179586477);
	EXPECT_DOUBLE_EQ(omega_squared(62.83185307179586477), 3947.841760435743448);
}

TEST(oscillator_relations, factors_in_their_order)
{
	struct row {
		double quantity, freq_hz, disp_in, accel_g;
	};
	const row rows[] = {
		{1.1, 7.0, 0x1.c1867919c86f8p-3, 0x1.60cf6b5546bc3p+2},
		{2.9, 3.3, 0x1.4d475dc518a87p+1, 0x1.9d6f9d04f2dd2p+1},
		{3.0, 7.0, 0x1.327e986308a92p-1, 0x1.e11ad82e77badp+3},
		{0.3, 60.0, 0x1.ab2f6bf20627ap-11, 0x1.b9d4bc15c6c59p+6},
		{7.0, 11.0, 0x1.219b9656866bap-1, 0x1.5a82928f2e9d6p+6},
	};
	for (const row &r : rows) {
		SCOPED_TRACE(testing::Message() << r.quantity << " at " << r.freq_hz << " Hz");
		EXPECT_EQ(disp_in(r.quantity, r.freq_hz), r.disp_in);
		EXPECT_EQ(accel_g(r.quantity, r.freq_hz), r.accel_g);
	}
}

TEST(oscillator_relations, negative_frequency_acts_as_its_magnitude)
{
	EXPECT_EQ(disp_in(1.0, -10.0), disp_in(1.0, 10.0));
	EXPECT_EQ(accel_g(0.1, -10.0), accel_g(0.1, 10.0));
	EXPECT_EQ(disp_in(-1.0, 10.0), -disp_in(1.0, 10.0));
}

TEST(oscillator_relations, zero_frequency_and_non_finite_values)
{
	constexpr double inf = std::numeric_limits<double>::infinity();
	constexpr double nan = std::numeric_limits<double>::quiet_NaN();
	EXPECT_EQ(omega_squared(angular_frequency(0.0)), 0.0);
	EXPECT_EQ(disp_in(1.0, 0.0), inf);
	EXPECT_EQ(disp_in(-1.0, 0.0), -inf);
	EXPECT_TRUE(std::isnan(disp_in(0.0, 0.0)));
	EXPECT_EQ(accel_g(1.0, 0.0), 0.0);
	EXPECT_TRUE(std::signbit(accel_g(-1.0, 0.0)));
	EXPECT_TRUE(std::isnan(disp_in(nan, 10.0)));
	EXPECT_TRUE(std::isnan(accel_g(1.0, nan)));
	EXPECT_EQ(disp_in(inf, 10.0), inf);
}

} // namespace
