// Feeds arbitrary bytes to the whole dialogue as its standard input and
// checks that it ends with status 1, asks at most one question per byte of
// input (and the first), and writes only what the output grammar allows.
#include <sys/mman.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "output_grammar.h"
#include "tarnvelk.h"

namespace {

void rewind_empty(int fd)
{
	if (ftruncate(fd, 0) != 0 || lseek(fd, 0, SEEK_SET) != 0)
		std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
	static const int in_fd = memfd_create("fuzz-input", 0);
	static const int out_fd = memfd_create("fuzz-output", 0);
	rewind_empty(in_fd);
	rewind_empty(out_fd);
	if (size > 0 && write(in_fd, data, size) != static_cast<ssize_t>(size))
		std::abort();
	lseek(in_fd, 0, SEEK_SET);

	if (run_dialogue(in_fd, out_fd) != 1)
		std::abort();

	std::string out(static_cast<std::size_t>(lseek(out_fd, 0, SEEK_END)), '\0');
	if (pread(out_fd, out.data(), out.size(), 0) != static_cast<ssize_t>(out.size()))
		std::abort();
	output_grammar::verdict v = output_grammar::check(out);
	if (!v.legal || v.prompts > size + 1)
		std::abort();
	return 0;
}
