// quillfort-cli: check, export, build and merge briefing scripts without the
// window.
#include "cli/CliCommands.h"
#include "QuillfortVersion.h"
#include "files/ScriptFile.h"

#include <QCommandLineParser>
#include <QCoreApplication>

#include <cstdio>
#include <new>

#ifdef Q_OS_WIN
#include <fcntl.h>
#include <io.h>
#endif

namespace {

constexpr int kUsageError = 2;

int usageError(const QString& message) {
  std::fprintf(stderr, "quillfort-cli: %s\nTry 'quillfort-cli --help'.\n", qUtf8Printable(message));
  return kUsageError;
}

// The arguments as the system handed them over. Where they are bytes, a
// file name need not be valid UTF-8 and is kept byte for byte (see
// ScriptFile::fromLocalBytes); Windows hands them over as UTF-16 already.
QStringList commandLine([[maybe_unused]] int argc, [[maybe_unused]] char* argv[]) {
#ifdef Q_OS_WIN
  return QCoreApplication::arguments();
#else
  QStringList arguments;
  for (int i = 0; i < argc; ++i)
    arguments.append(ScriptFile::fromLocalBytes(QByteArray(argv[i])));
  return arguments;
#endif
}

int run(int argc, char* argv[]) {
#ifdef Q_OS_WIN
  // Scripts are bytes: no CR put before each LF on the way out. Messages
  // too, so that they are the same bytes as on every other system.
  ::_setmode(::_fileno(stdout), _O_BINARY);
  ::_setmode(::_fileno(stderr), _O_BINARY);
#endif
  QCoreApplication app(argc, argv);
  const QStringList arguments = commandLine(argc, argv);
  QCoreApplication::setApplicationName(QStringLiteral("quillfort-cli"));
  QCoreApplication::setApplicationVersion(QString::fromLatin1(kVersionText));

  QCommandLineParser parser;
  parser.setApplicationDescription(QStringLiteral(
      "Checks, exports, builds and merges Quillfort briefing scripts, reading and writing them exactly "
      "as the editor does.\n\n"
      "Commands:\n"
      "  check [--strict] FILE...      reads each script and prints its side, counts, current task\n"
      "                                and the briefing check's findings\n"
      "  export FILE.sqf [-o OUT.json] prints the briefing as JSON (or writes it into OUT.json)\n"
      "  build [--strict] FILE.json [-o OUT.sqf]\n"
      "                                writes the script the editor would save for that briefing\n"
      "                                (default FILE.sqf; -o - for standard output)\n"
      "  merge FILE.sqf FILE.sqf... -o OUT.sqf\n"
      "                                writes one script holding every side's briefing of the\n"
      "                                scripts (-o - for standard output); a side found in two of\n"
      "                                them, or a result too large to be opened again in full, is\n"
      "                                an error, and nothing is written\n"
      "A script of several sides reports each side (its findings name their side) and exports as\n"
      "{\"sides\": [one briefing a side]}, which build takes as well.\n"
      "A FILE of - is standard input. Results go to standard output, errors and warnings to\n"
      "standard error.\n\n"
      "Exit status: 0 done, 1 a file could not be read or written (with --strict: or a finding,\n"
      "or for build a script too large to be opened again in full), 2 a usage error."));
  const QCommandLineOption help = parser.addHelpOption();
  const QCommandLineOption version = parser.addVersionOption();
  const QCommandLineOption strict(QStringLiteral("strict"),
                                  QStringLiteral("check: a finding fails the check too. build: a script "
                                                 "too large to be opened again in full is an error."));
  const QCommandLineOption output(
      QStringList{QStringLiteral("o"), QStringLiteral("output")},
      QStringLiteral("export, build, merge: write into <file> (- for standard output)."),
      QStringLiteral("file"));
  parser.addOption(strict);
  parser.addOption(output);
  parser.addPositionalArgument(QStringLiteral("command"), QStringLiteral("check, export, build or merge"));
  parser.addPositionalArgument(QStringLiteral("files"), QStringLiteral("the scripts or the JSON file"),
                               QStringLiteral("FILE..."));

  if (!parser.parse(arguments))
    return usageError(parser.errorText());
  if (parser.isSet(help)) {
    std::fputs(qUtf8Printable(parser.helpText()), stdout);
    return 0;
  }
  if (parser.isSet(version)) {
    std::printf("quillfort-cli %s\n", kVersionText);
    return 0;
  }

  QStringList files = parser.positionalArguments();
  if (files.isEmpty())
    return usageError(QStringLiteral("no command given"));
  const QString command = files.takeFirst();
  if (command == QStringLiteral("check")) {
    if (parser.isSet(output))
      return usageError(QStringLiteral("check takes no -o"));
    if (files.isEmpty())
      return usageError(QStringLiteral("check needs at least one FILE"));
    return CliCommands::check(files, parser.isSet(strict));
  }
  const bool merge = command == QStringLiteral("merge");
  if (command == QStringLiteral("export") || command == QStringLiteral("build") || merge) {
    if (parser.isSet(strict) && command != QStringLiteral("build"))
      return usageError(QStringLiteral("--strict belongs to check and build"));
    if (merge && files.size() < 2)
      return usageError(QStringLiteral("merge takes two FILEs or more"));
    if (!merge && files.size() != 1)
      return usageError(QStringLiteral("%1 takes exactly one FILE").arg(command));
    if (parser.values(output).size() > 1)
      return usageError(QStringLiteral("-o is given more than once"));
    const QString out = parser.value(output);
    if (parser.isSet(output) && out.isEmpty())
      return usageError(QStringLiteral("-o needs a file name"));
    if (merge && !parser.isSet(output))
      return usageError(QStringLiteral("merge needs -o OUT.sqf (- for standard output)"));
    if (merge)
      return CliCommands::merge(files, out);
    return command == QStringLiteral("export") ? CliCommands::exportJson(files.first(), out)
                                               : CliCommands::build(files.first(), out, parser.isSet(strict));
  }
  return usageError(QStringLiteral("unknown command \"%1\" (check, export, build or merge)").arg(command));
}

} // namespace

int main(int argc, char* argv[]) {
  try {
    return run(argc, argv);
  } catch (const std::bad_alloc&) {
    std::fputs("quillfort-cli: error: Err # 7 - Out of memory\n", stderr);
    return 1;
  }
}
