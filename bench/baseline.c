/*
 * The same dialogue written the plain way, with C stdio and its default
 * buffering: the reference the benchmark measures the program against.
 * It holds prompts back on pipes, which is why the program is not written
 * like this.  Its output matches the program's on well-formed batches.
 */
#include <math.h>
#include <stdio.h>
#include <stdlib.h>

int main(void)
{
	double pi = atan2(0.0, -1.0);
	long analysis_choice = 0, another_case = 0;
	double natural_freq_hz = 0, omega_n, omega_n_sq, half;
	double rel_disp_in = 0, abs_accel_g = 0;

	printf("\n tarnvelk   ver 1.0   May 29, 2007 \n");
	printf("\n Written by the tarnvelk authors <tarnvelk@example.org> \n");
	printf("\n  Select analysis:  \n");
	printf("\n  1=calculate rel disp  from abs accel ");
	printf("\n  2=calculate abs accel from rel disp \n");
	if (scanf("%ld", &analysis_choice) != 1)
		return 1;
	do {
		printf("\n Enter natural frequency (Hz) \n");
		if (scanf("%lf", &natural_freq_hz) != 1)
			return 1;
		half = pi * natural_freq_hz;
		omega_n = half + half;
		omega_n_sq = pow(omega_n, 2.0);
		if (analysis_choice == 1) {
			printf("\n Enter absolute acceleration (G) \n");
			if (scanf("%lf", &abs_accel_g) != 1)
				return 1;
			rel_disp_in = abs_accel_g * 386.0 / omega_n_sq;
		} else {
			printf("\n Enter relative displacement (inch) \n");
			if (scanf("%lf", &rel_disp_in) != 1)
				return 1;
			abs_accel_g = rel_disp_in * omega_n_sq * (1.0 / 386.0);
		}
		printf("\n\n  rel disp = %8.4g inch", rel_disp_in);
		printf("\n abs accel = %8.4g G\n", abs_accel_g);
		printf("\n\n Another case?  1=yes 2=no \n");
		if (scanf("%ld", &another_case) != 1)
			return 1;
	} while (another_case != 2);
	return 1;
}
