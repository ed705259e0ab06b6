#include <cstdio>

#include <oscillator_relations.h>

int main()
{
	double omega_n_sq = omega_squared(angular_frequency(10.0));
	std::printf("%.6g\n", rel_disp_from_abs_accel(1.0, omega_n_sq));
}
