// The reader under libFuzzer. The first byte picks what the rest is:
//  - even: a script, read pass by pass as a script of one side is read,
//    against the byte-by-byte reference reader (ReferenceReader.cpp): the same
//    records, offsets and errors; then read whole, every side, which must end
//    in a briefing or in error 5 or 6;
//  - odd: a briefing of one to five sides in either encoding (titles and
//    texts drawn from the bytes), written by the writer and read back: it
//    must come back exactly, texts with CR LF for every "<br/>", unless the
//    writer refused it (5: a character it cannot write; 6: several sides past
//    the reader's reach).
#include "ReferenceReader.h"

#include "core/reader/BriefingScriptReader.h"
#include "core/system/RuntimeError.h"
#include "core/text/AnsiCodec.h"
#include "core/text/Utf8.h"
#include "core/writer/BriefingScriptWriter.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdio>
#include <cstdlib>

namespace {

[[noreturn]] void fail(const char* what) {
  std::fprintf(stderr, "fuzz_reader: %s\n", what);
  std::abort();
}

void expectFiveOrSix(const RuntimeError& e) {
  if (e.number != 5 && e.number != 6)
    fail("an error other than 5 or 6");
}

// A pass as text: every record with its offsets, or the error.
template <class Scan> std::string outcome(Scan scan) {
  std::string out;
  try {
    for (const ScriptRecord& r : scan())
      out += Utf8::fromUtf16(r.title) + '=' + Utf8::fromUtf16(r.text) + '@' + std::to_string(r.titleStart) + ',' +
             std::to_string(r.textStart) + '|';
  } catch (const RuntimeError& e) {
    expectFiveOrSix(e);
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
  const Encoding encoding = detectEncoding(script);
  BriefingScriptReader reader(script, encoding);
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
      return pass == 0 ? reference::scanNoteRecords(script, encoding, counts[0])
                       : reference::scanTaskRecords(script, encoding, counts[1]);
    });
    if (fast != slow)
      fail(pass == 0 ? "the notes pass differs from the reference reader"
                     : "the tasks pass differs from the reference reader");
  }
  try {
    readBriefingScript(script, Side::West);
  } catch (const ScriptReadFailure& e) {
    expectFiveOrSix(e);
  }
}

std::u16string replaceAll(std::u16string s, std::u16string_view from, std::u16string_view to) {
  for (std::size_t i = s.find(from); i != std::u16string::npos; i = s.find(from, i + to.size()))
    s.replace(i, from.size(), to);
  return s;
}

void roundTrip(FuzzedDataProvider& data) {
  Briefing written;
  written.encoding = data.ConsumeBool() ? Encoding::Utf8 : Encoding::Ansi;
  const auto field = [&](bool title) {
    const std::string bytes = data.ConsumeRandomLengthString(200);
    std::u16string text = AnsiCodec::decode(bytes);
    if (written.encoding == Encoding::Utf8) // the bytes as UTF-16 units, lone surrogates and all
      text.assign(reinterpret_cast<const char16_t*>(bytes.data()), bytes.size() / 2);
    return title ? replaceAll(text, u"\r\n", u"\r ") : text; // a title is one line
  };
  for (unsigned mask = data.ConsumeIntegralInRange(1, 31), s = 0; s < 5; ++s) {
    if (!(mask & (1u << s)))
      continue;
    SideBriefing& side = written.sides.emplace_back();
    side.side = static_cast<Side>(s);
    const int notes = data.ConsumeIntegralInRange(0, 255);
    const int tasks = data.ConsumeIntegralInRange(0, 255);
    for (int i = 0; i < notes && data.remaining_bytes() > 0; ++i)
      side.notes.push_back({field(true), field(false)});
    for (int i = 0; i < tasks && data.remaining_bytes() > 0; ++i)
      side.tasks.push_back({field(true), field(false)});
    if (!side.tasks.empty() && data.ConsumeBool())
      side.currentTask = side.tasks[data.ConsumeIntegralInRange<std::size_t>(0, side.tasks.size() - 1)].title;
  }

  std::string script;
  try {
    script = composeBriefingScript(written);
  } catch (const RuntimeError& e) {
    expectFiveOrSix(e);
    return;
  }
  if (script.size() > 32767)
    return; // a script of one side past the reader's 16-bit positions saves, and opens only in part
  // What comes back: the sides that hold entries (or the first), in block
  // order, a typed "<br/>" as a line break, the current task as the title
  // the first line names.
  Briefing expected{{}, written.encoding};
  for (const SideBriefing& side : written.sides)
    if (side.holdsEntries() || (&side == &written.sides.front() && written.sides.size() == 1))
      expected.sides.push_back(side);
  if (expected.sides.empty())
    expected.sides.push_back(written.sides.front());
  for (SideBriefing& side : expected.sides) {
    for (auto* list : {&side.notes, &side.tasks})
      for (BriefingEntry& e : *list)
        e.text = replaceAll(e.text, u"<br/>", u"\r\n");
    const CurrentTask current = currentTaskOf(side.tasks, side.currentTask);
    side.currentTask = current.any() ? side.tasks[std::size_t(current.last)].title : u"";
  }
  Briefing read;
  try {
    read = readBriefingScript(script, Side::West).briefing;
  } catch (const RuntimeError& e) {
    std::fprintf(stderr, "%s\n", e.description.c_str());
    fail("a script the writer wrote does not read back");
  }
  // Saved again, the script is the same bytes; and it holds the same briefing
  // unless the encoding came back other than it went (a script in the code
  // page whose bytes are valid UTF-8, ASCII among them, reads as UTF-8).
  if (composeBriefingScript(read) != script)
    fail("a script read back does not save as the same bytes");
  if (read.encoding == expected.encoding && !(read.sides == expected.sides))
    fail("a briefing changed on its way through the script");
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
