// Relations of an undamped oscillator with one degree of freedom:
// absolute acceleration = omega_n^2 * relative displacement, with
// displacement in inches, acceleration in G and 1 G = 386 in/s^2.
#ifndef TARNVELK_OSCILLATOR_RELATIONS_H
#define TARNVELK_OSCILLATOR_RELATIONS_H

// The double nearest pi, worked out at start-up before any output.
extern double pi;

inline constexpr double in_per_s2_per_g = 386.0;
// The double nearest 1/386; division of two exact doubles rounds correctly.
inline constexpr double g_per_in_per_s2 = 1.0 / 386.0;

double angular_frequency(double natural_freq_hz);
double omega_squared(double omega_n);
double rel_disp_from_abs_accel(double abs_accel_g, double omega_n_sq);
double abs_accel_from_rel_disp(double rel_disp_in, double omega_n_sq);

#endif
