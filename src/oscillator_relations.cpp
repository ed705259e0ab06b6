// Every result depends on the order of the factors down to its last bit, so
// each expression is written in the order it must be evaluated, and the
// build never allows the compiler to reassociate floating point.
#include "oscillator_relations.h"

#include <cmath>

double pi = std::atan2(0.0, -1.0);

double angular_frequency(double natural_freq_hz)
{
	double half = pi * natural_freq_hz;
	return half + half;
}

double omega_squared(double omega_n)
{
	return std::pow(omega_n, 2.0);
}

double rel_disp_from_abs_accel(double abs_accel_g, double omega_n_sq)
{
	double accel_in_per_s2 = abs_accel_g * in_per_s2_per_g;
	return accel_in_per_s2 / omega_n_sq;
}

double abs_accel_from_rel_disp(double rel_disp_in, double omega_n_sq)
{
	double accel_in_per_s2 = rel_disp_in * omega_n_sq;
	return accel_in_per_s2 * g_per_in_per_s2;
}
