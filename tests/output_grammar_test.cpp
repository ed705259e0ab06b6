#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include <gtest/gtest.h>

#include "output_grammar.h"

namespace {

std::string slurp(const std::filesystem::path &path)
{
	std::ifstream f(path, std::ios::binary);
	std::ostringstream s;
	s << f.rdbuf();
	return s.str();
}

TEST(output_grammar, accepts_every_golden_output)
{
	int checked = 0;
	for (const auto &entry : std::filesystem::directory_iterator(TRANSCRIPT_DIR)) {
		if (entry.path().extension() != ".out")
			continue;
		SCOPED_TRACE(entry.path().string());
		std::string out = slurp(entry.path());
		auto input_size = std::filesystem::file_size(
			std::filesystem::path(entry.path()).replace_extension(".in"));
		output_grammar::verdict v = output_grammar::check(out);
		EXPECT_TRUE(v.legal);
		EXPECT_LE(v.prompts, input_size + 1);
		checked++;
	}
	EXPECT_GT(checked, 10);
}

TEST(output_grammar, rejects_what_the_program_must_never_write)
{
	using namespace output_grammar;
	const std::string start = std::string(banner) + std::string(menu) + std::string(ask_frequency) +
	                          std::string(ask_accel);
	const std::string result = "\n\n  rel disp =  0.09777 inch\n abs accel =        1 G\n";
	EXPECT_TRUE(check(start + result + std::string(ask_another)).legal);
	const std::string bad[] = {
		std::string(menu),
		std::string(banner),
		start + result,
		start + "\n\n  rel disp = 0.09777 inch\n abs accel =        1 G\n" + std::string(ask_another),
		start + "\n\n  rel disp =   0.09777 inch\n abs accel =        1 G\n" + std::string(ask_another),
		start + result + std::string(ask_another) + std::string(ask_frequency) + std::string(ask_disp),
		std::string(banner) + std::string(menu) + std::string(ask_accel),
		start + result + std::string(ask_another) + "x",
	};
	for (const std::string &out : bad)
		EXPECT_FALSE(check(out).legal) << out;
}

} // namespace
