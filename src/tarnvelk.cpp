// tarnvelk relates the relative displacement and the absolute acceleration
// of an undamped oscillator at a given natural frequency.
//
// Some things here look wrong and are not.  The normal end exits with
// status 1, not 0, and scripts rely on it.  Messages begin with a line break
// instead of ending with one, the first menu line and the displacement line
// get theirs from the text after them, and the odd runs of spaces keep
// columns aligned: the texts are exact, banner date and all.  The typed
// quantity is echoed back through the result format.  Any menu reply but 1
// means acceleration from displacement, and any answer but 2 means another
// case.  An unreadable reply is dropped and the question asked again; the
// end of the input ends the program as if the answer had been 2.  Output is
// flushed only when the program is about to wait for input, and at the end.
#include "tarnvelk.h"

#include <unistd.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

#include "console_io.h"
#include "oscillator_relations.h"

namespace {

struct dialogue_state {
	std::int32_t analysis_choice;
	std::int32_t another_case;
	double natural_freq_hz;
	double omega_n;
	double omega_n_sq;
	double rel_disp_in;
	double abs_accel_g;
};

constexpr std::string_view banner =
	"\n tarnvelk   ver 1.0   May 29, 2007 \n"
	"\n Written by the tarnvelk authors <tarnvelk@example.org> \n";
constexpr std::string_view menu =
	"\n  Select analysis:  \n"
	"\n  1=calculate rel disp  from abs accel "
	"\n  2=calculate abs accel from rel disp \n";
constexpr std::string_view ask_frequency = "\n Enter natural frequency (Hz) \n";
constexpr std::string_view ask_accel = "\n Enter absolute acceleration (G) \n";
constexpr std::string_view ask_disp = "\n Enter relative displacement (inch) \n";
constexpr std::string_view disp_label = "\n\n  rel disp = ";
constexpr std::string_view disp_unit = " inch";
constexpr std::string_view accel_label = "\n abs accel = ";
constexpr std::string_view accel_unit = " G\n";
constexpr std::string_view ask_another = "\n\n Another case?  1=yes 2=no \n";

bool ask_integer(console &con, std::string_view question, std::int32_t &reply)
{
	for (;;) {
		console_put(con, question);
		scan_result r = console_scan_integer(con, reply);
		if (r != scan_result::unreadable)
			return r == scan_result::read;
	}
}

bool ask_real(console &con, std::string_view question, double &reply)
{
	for (;;) {
		console_put(con, question);
		scan_result r = console_scan_real(con, reply);
		if (r != scan_result::unreadable)
			return r == scan_result::read;
	}
}

bool run_case(console &con, dialogue_state &st)
{
	if (!ask_real(con, ask_frequency, st.natural_freq_hz))
		return false;
	st.omega_n = angular_frequency(st.natural_freq_hz);
	st.omega_n_sq = omega_squared(st.omega_n);
	if (st.analysis_choice == 1) {
		if (!ask_real(con, ask_accel, st.abs_accel_g))
			return false;
		st.rel_disp_in = rel_disp_from_abs_accel(st.abs_accel_g, st.omega_n_sq);
	} else {
		if (!ask_real(con, ask_disp, st.rel_disp_in))
			return false;
		st.abs_accel_g = abs_accel_from_rel_disp(st.rel_disp_in, st.omega_n_sq);
	}
	console_put(con, disp_label);
	console_put_result(con, st.rel_disp_in);
	console_put(con, disp_unit);
	console_put(con, accel_label);
	console_put_result(con, st.abs_accel_g);
	console_put(con, accel_unit);
	return ask_integer(con, ask_another, st.another_case) && st.another_case != 2;
}

int finish(console &con)
{
	if (console_flush(con))
		return 1;
	std::string line = "tarnvelk: write error: ";
	line += std::strerror(con.out_errno);
	line += '\n';
	// If standard error fails too, the status is all that is left to say it.
	[[maybe_unused]] ssize_t ignored = write(STDERR_FILENO, line.data(), line.size());
	return 2;
}

} // namespace

int run_dialogue(int in_fd, int out_fd)
{
	static console con;
	dialogue_state st{};
	console_open(con, in_fd, out_fd);
	console_put(con, banner);
	if (ask_integer(con, menu, st.analysis_choice))
		while (run_case(con, st))
			;
	return finish(con);
}
