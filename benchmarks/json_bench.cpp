// JSON parsing and compact writing of the three shared documents, against
// RapidJSON's DOM and Writer and nlohmann::json.

#include <cstdio>
#include <string>

#include <benchmark/benchmark.h>
#include <nlohmann/json.hpp>
#include <rapidjson/document.h>
#include <rapidjson/stringbuffer.h>
#include <rapidjson/writer.h>

#include "bench_data.h"
#include "json/json_parse.h"
#include "json/json_writer.h"
#include "json/string_appender.h"
#include "json_bench.h"

namespace tunewell::bench
{

namespace
{
const char* const documents[] = { "canada.json", "citm_catalog.json", "twitter.json" };

std::string caseName (const char* fileName)
{
    std::string name (fileName);
    return name.substr (0, name.find ('.'));
}

std::string writeTunewell (const value::Value& parsed)
{
    std::string text;
    json::StringAppender out (text);
    json::Writer<json::StringAppender> (out, 0).dump (parsed.getView());
    return text;
}

void parseTunewell (benchmark::State& state, const std::string& text)
{
    for (auto _ : state)
    {
        auto parsed = json::parse (text.c_str(), text.size(), false);
        benchmark::DoNotOptimize (parsed.getRawData().data());
    }

    state.SetBytesProcessed (state.iterations() * static_cast<int64_t> (text.size()));
}

void parseRapidJSON (benchmark::State& state, const std::string& text)
{
    for (auto _ : state)
    {
        rapidjson::Document document;
        document.Parse (text.c_str(), text.size());
        benchmark::DoNotOptimize (document.HasParseError());
    }

    state.SetBytesProcessed (state.iterations() * static_cast<int64_t> (text.size()));
}

void parseNlohmann (benchmark::State& state, const std::string& text)
{
    for (auto _ : state)
    {
        auto document = nlohmann::json::parse (text);
        benchmark::DoNotOptimize (document.size());
    }

    state.SetBytesProcessed (state.iterations() * static_cast<int64_t> (text.size()));
}

void writeWithTunewell (benchmark::State& state, const std::string& text)
{
    auto parsed = json::parse (text.c_str(), text.size(), false);

    for (auto _ : state)
    {
        auto written = writeTunewell (parsed);
        benchmark::DoNotOptimize (written.data());
    }
}

void writeWithRapidJSON (benchmark::State& state, const std::string& text)
{
    rapidjson::Document document;
    document.Parse (text.c_str(), text.size());

    for (auto _ : state)
    {
        rapidjson::StringBuffer buffer;
        rapidjson::Writer<rapidjson::StringBuffer> writer (buffer);
        document.Accept (writer);
        benchmark::DoNotOptimize (buffer.GetString());
    }
}

void writeWithNlohmann (benchmark::State& state, const std::string& text)
{
    auto document = nlohmann::json::parse (text);

    for (auto _ : state)
    {
        auto written = document.dump();
        benchmark::DoNotOptimize (written.data());
    }
}

using Body = void (*) (benchmark::State&, const std::string&);

void registerFor (const std::string& figure, const char* fileName, const char* implementation, Body body)
{
    auto name = figure + "/" + caseName (fileName) + "/" + implementation;
    benchmark::RegisterBenchmark (name.c_str(), [body, fileName] (benchmark::State& state) {
        body (state, benchDocument (fileName));
    })->Unit (benchmark::kMillisecond);
}
} // namespace

bool writtenDocumentsAreJSON()
{
    bool allValid = true;

    // A fast writer is worth nothing if its text does not parse elsewhere.
    for (auto* fileName : documents)
    {
        auto& text = benchDocument (fileName);
        auto written = writeTunewell (json::parse (text.c_str(), text.size(), false));
        rapidjson::Document check;
        check.Parse (written.c_str(), written.size());
        bool valid = ! check.HasParseError();
        allValid = allValid && valid;
        std::printf ("%s: %zu bytes read, %zu bytes written, %s\n", fileName, text.size(), written.size(),
                     valid ? "valid JSON" : "NOT VALID JSON");
    }

    return allValid;
}

void registerJSONBenchmarks()
{
    for (auto* fileName : documents)
    {
        registerFor ("parse", fileName, "tunewell", parseTunewell);
        registerFor ("parse", fileName, "rapidjson", parseRapidJSON);
        registerFor ("parse", fileName, "nlohmann", parseNlohmann);
    }

    for (auto* fileName : documents)
    {
        registerFor ("write", fileName, "tunewell", writeWithTunewell);
        registerFor ("write", fileName, "rapidjson", writeWithRapidJSON);
        registerFor ("write", fileName, "nlohmann", writeWithNlohmann);
    }
}

} // namespace tunewell::bench
