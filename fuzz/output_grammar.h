// The shape of every output the program can write, stated on its own so
// that it can judge the dialogue from outside: the banner, the menu (again
// after each unreadable reply), then cases, each question repeated after
// each unreadable reply, each case ending in a result and the question
// for another, and the output stopping after any question.
#ifndef TARNVELK_FUZZ_OUTPUT_GRAMMAR_H
#define TARNVELK_FUZZ_OUTPUT_GRAMMAR_H

#include <cstddef>
#include <string_view>

namespace output_grammar {

inline constexpr std::string_view banner =
	"\n tarnvelk   ver 1.0   May 29, 2007 \n"
	"\n Written by the tarnvelk authors <tarnvelk@example.org> \n";
inline constexpr std::string_view menu =
	"\n  Select analysis:  \n"
	"\n  1=calculate rel disp  from abs accel "
	"\n  2=calculate abs accel from rel disp \n";
inline constexpr std::string_view ask_frequency = "\n Enter natural frequency (Hz) \n";
inline constexpr std::string_view ask_accel = "\n Enter absolute acceleration (G) \n";
inline constexpr std::string_view ask_disp = "\n Enter relative displacement (inch) \n";
inline constexpr std::string_view ask_another = "\n\n Another case?  1=yes 2=no \n";

struct verdict {
	bool legal;
	std::size_t prompts;
};

inline bool take(std::string_view &s, std::string_view prefix)
{
	if (!s.starts_with(prefix))
		return false;
	s.remove_prefix(prefix.size());
	return true;
}

inline bool is_digit(char c)
{
	return c >= '0' && c <= '9';
}

inline std::size_t digits_at(std::string_view s, std::size_t i)
{
	std::size_t start = i;
	while (i < s.size() && is_digit(s[i]))
		i++;
	return i - start;
}

// "%8.4g": a number padded on the left to eight characters, no more.
inline bool take_field(std::string_view &s)
{
	std::size_t i = 0;
	while (i < s.size() && s[i] == ' ')
		i++;
	std::size_t pad = i;
	if (i < s.size() && s[i] == '-')
		i++;
	if (s.substr(i).starts_with("inf") || s.substr(i).starts_with("nan")) {
		i += 3;
	} else {
		std::size_t whole = digits_at(s, i);
		if (whole == 0)
			return false;
		i += whole;
		if (i < s.size() && s[i] == '.') {
			std::size_t fraction = digits_at(s, i + 1);
			if (fraction == 0 || whole + fraction > 8)
				return false;
			i += 1 + fraction;
		}
		if (i < s.size() && s[i] == 'e') {
			if (i + 1 >= s.size() || (s[i + 1] != '+' && s[i + 1] != '-'))
				return false;
			std::size_t exponent = digits_at(s, i + 2);
			if (exponent < 2 || exponent > 3)
				return false;
			i += 2 + exponent;
		}
	}
	if (i < 8 || (pad > 0 && i != 8))
		return false;
	s.remove_prefix(i);
	return true;
}

inline std::size_t take_repeated(std::string_view &s, std::string_view prompt)
{
	std::size_t n = 0;
	while (take(s, prompt))
		n++;
	return n;
}

inline verdict check(std::string_view s)
{
	constexpr verdict illegal{false, 0};
	std::size_t prompts = 0;
	if (!take(s, banner))
		return illegal;
	std::size_t n = take_repeated(s, menu);
	if (n == 0)
		return illegal;
	prompts += n;
	std::string_view quantity;
	while (!s.empty()) {
		if ((n = take_repeated(s, ask_frequency)) == 0)
			return illegal;
		prompts += n;
		if (s.empty())
			break;
		if (quantity.empty())
			quantity = s.starts_with(ask_accel) ? ask_accel : ask_disp;
		if ((n = take_repeated(s, quantity)) == 0)
			return illegal;
		prompts += n;
		if (s.empty())
			break;
		if (!take(s, "\n\n  rel disp = ") || !take_field(s) || !take(s, " inch") ||
		    !take(s, "\n abs accel = ") || !take_field(s) || !take(s, " G\n"))
			return illegal;
		if ((n = take_repeated(s, ask_another)) == 0)
			return illegal;
		prompts += n;
	}
	return {true, prompts};
}

} // namespace output_grammar

#endif
