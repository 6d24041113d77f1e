// The reader under libFuzzer. The first byte picks what the rest is:
//  - even: a script, read as the open command reads it; every input must end
//    in a load or in error 5 or 6, exactly as the byte-by-byte reference
//    reader (ReferenceReader.cpp) reads it;
//  - odd: a briefing (side, titles and texts drawn from the bytes), written by
//    the writer and read back; it must come back exactly, texts with CR LF for
//    every "<br/>".
#include "core/text/AnsiCodec.h"
#include "core/system/RuntimeError.h"
#include "core/reader/BriefingScriptReader.h"
#include "core/writer/BriefingScriptWriter.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdio>
#include <cstdlib>
#include <deque>

namespace reference {
std::vector<ScriptRecord> scanNoteRecords(std::string_view script, int count);
std::vector<ScriptRecord> scanTaskRecords(std::string_view script, int count);
} // namespace reference

namespace {

[[noreturn]] void fail(const char* what) {
  std::fprintf(stderr, "fuzz_reader: %s\n", what);
  std::abort();
}

// A pass as text: every record with its offsets, or the error.
template <class Scan> std::string outcome(Scan scan) {
  std::string out;
  try {
    for (const ScriptRecord& r : scan())
      out += AnsiCodec::encode(r.title, {}) + '=' + AnsiCodec::encode(r.text, {}) + '@' +
             std::to_string(r.titleStart) + ',' + std::to_string(r.textStart) + '|';
  } catch (const RuntimeError& e) {
    if (e.number != 5 && e.number != 6)
      fail("an error other than 5 or 6");
    out += "error " + std::to_string(e.number) + ": " + e.description;
  }
  return out;
}

void readScript(std::string_view script) {
  ScriptHeader header;
  try {
    header = readScriptHeader(script);
  } catch (const RuntimeError& e) {
    if (e.number != 5)
      fail("a header error other than 5");
    return;
  }
  // The reader as the open command runs it, against the byte-by-byte one.
  BriefingScriptReader reader(script);
  const auto owned = [](const std::vector<ScriptRecordView>& views) {
    std::vector<ScriptRecord> records;
    for (const auto& v : views)
      records.push_back({std::u16string(v.title), std::u16string(v.text), v.titleStart, v.textStart});
    return records;
  };
  const int counts[] = {header.noteCount, header.taskCount};
  for (int pass = 0; pass < 2; ++pass) {
    const std::string fast =
        outcome([&] { return owned(pass == 0 ? reader.notes(counts[0]) : reader.tasks(counts[1])); });
    const std::string slow = outcome([&] {
      return pass == 0 ? reference::scanNoteRecords(script, counts[0])
                       : reference::scanTaskRecords(script, counts[1]);
    });
    if (fast != slow)
      fail(pass == 0 ? "the notes pass differs from the reference reader"
                     : "the tasks pass differs from the reference reader");
  }
}

std::u16string replaceAll(std::u16string s, std::u16string_view from, std::u16string_view to) {
  for (std::size_t i = s.find(from); i != std::u16string::npos; i = s.find(from, i + to.size()))
    s.replace(i, from.size(), to);
  return s;
}

void roundTrip(FuzzedDataProvider& data) {
  static const char16_t* sides[] = {u"WEST", u"EAST", u"RESISTANCE", u"CIVILIAN"};
  std::deque<std::u16string> texts; // what the snapshot's views show
  BriefingSnapshot b;
  b.side = sides[data.ConsumeIntegralInRange(0, 3)];
  b.versionMajor = 1;
  const int notes = data.ConsumeIntegralInRange(0, 255);
  const int tasks = data.ConsumeIntegralInRange(0, 255);
  auto field = [&](bool title) {
    std::u16string text = AnsiCodec::decode(data.ConsumeRandomLengthString(200));
    return std::u16string_view(
        texts.emplace_back(title ? replaceAll(text, u"\r\n", u"\r ") : text)); // a title is one line
  };
  for (int i = 0; i < notes && data.remaining_bytes() > 0; ++i)
    b.notes.push_back({field(true), field(false)});
  for (int i = 0; i < tasks && data.remaining_bytes() > 0; ++i)
    b.tasks.push_back({field(true), field(false)});
  if (!b.tasks.empty() && data.ConsumeBool())
    b.currentTask = b.tasks[data.ConsumeIntegralInRange<std::size_t>(0, b.tasks.size() - 1)].title;

  const std::string script = composeBriefingScript(b);
  if (script.size() > 32767)
    return; // past the reader's 16-bit positions
  const ScriptHeader header = readScriptHeader(script);
  const auto same = [](const std::vector<BriefingEntry>& written, const std::vector<ScriptRecord>& read) {
    if (read.size() != written.size())
      return false;
    for (std::size_t i = 0; i < read.size(); ++i) {
      const std::u16string text =
          replaceAll(replaceAll(std::u16string(written[i].text), u"\r\n", u"<br/>"), u"<br/>", u"\r\n");
      if (read[i].title != written[i].title || read[i].text != text)
        return false;
    }
    return true;
  };
  if (header.sideLetter != static_cast<char>(b.side[0]))
    fail("the side changed");
  if (!same(b.notes, scanNoteRecords(script, header.noteCount)))
    fail("a note changed");
  if (!same(b.tasks, scanTaskRecords(script, header.taskCount)))
    fail("a task changed");
  if (header.currentTask > 0 &&
      b.tasks[static_cast<std::size_t>(header.currentTask - 1)].title != b.currentTask)
    fail("the current task changed");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
  if (size == 0)
    return 0;
  if (bytes[0] % 2 == 0) {
    readScript(std::string_view(reinterpret_cast<const char*>(bytes + 1), size - 1));
  } else {
    FuzzedDataProvider data(bytes + 1, size - 1);
    roundTrip(data);
  }
  return 0;
}
