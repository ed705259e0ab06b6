// The reply scanner and the result formatter against the C library calls
// they stand in for, on the kind of numbers a generated batch holds.
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>

#include "console_io.h"

namespace {

std::string sample_replies()
{
	std::mt19937_64 rng(42);
	std::uniform_real_distribution<double> value(0.01, 2000.0);
	std::string text;
	char buf[32];
	while (text.size() < console_buffer_size - 32) {
		std::snprintf(buf, sizeof buf, "%.6g\n", value(rng));
		text += buf;
	}
	return text;
}

std::vector<double> sample_results()
{
	std::mt19937_64 rng(7);
	std::uniform_real_distribution<double> exponent(-6.0, 4.0);
	std::vector<double> values(4096);
	for (double &v : values)
		v = std::pow(10.0, exponent(rng));
	return values;
}

void scan_reply(benchmark::State &state)
{
	const std::string text = sample_replies();
	auto con = std::make_unique<console>();
	console_open(*con, -1, -1);
	std::memcpy(con->in_buf, text.data(), text.size());
	double value = 0.0;
	for (auto _ : state) {
		if (con->in_len - con->in_pos < 32) {
			con->in_pos = 0;
			con->in_len = text.size();
		}
		console_scan_real(*con, value);
		benchmark::DoNotOptimize(value);
	}
}
BENCHMARK(scan_reply);

void strtod_reference(benchmark::State &state)
{
	const std::string text = sample_replies();
	const char *p = text.c_str();
	for (auto _ : state) {
		char *end = nullptr;
		double value = std::strtod(p, &end);
		benchmark::DoNotOptimize(value);
		p = *end == '\0' || end == p ? text.c_str() : end;
	}
}
BENCHMARK(strtod_reference);

void format_four_digits(benchmark::State &state)
{
	const std::vector<double> values = sample_results();
	std::size_t i = 0;
	char out[result_field_max];
	for (auto _ : state) {
		benchmark::DoNotOptimize(::format_result(values[i++ % values.size()], out));
		benchmark::ClobberMemory();
	}
}
BENCHMARK(format_four_digits);

void snprintf_reference(benchmark::State &state)
{
	const std::vector<double> values = sample_results();
	std::size_t i = 0;
	char out[64];
	for (auto _ : state) {
		benchmark::DoNotOptimize(
			std::snprintf(out, sizeof out, "%8.4g", values[i++ % values.size()]));
		benchmark::ClobberMemory();
	}
}
BENCHMARK(snprintf_reference);

} // namespace

BENCHMARK_MAIN();
