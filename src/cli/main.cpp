// quillfort-cli: check, export, build, merge and import briefing scripts
// without the window.
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
      "Checks, exports, builds, merges and imports Quillfort briefing scripts, reading and writing "
      "them exactly as the editor does.\n\n"
      "Commands:\n"
      "  check [--strict] FILE...      reads each script and prints its side, counts, current task,\n"
      "                                encoding and the briefing check's findings\n"
      "  export FILE.sqf [-o OUT.json] prints the briefing as JSON (or writes it into OUT.json)\n"
      "  build [--strict] [--encoding utf-8|ansi] FILE.json [-o OUT.sqf]\n"
      "                                writes the script the editor would save for that briefing\n"
      "                                (default FILE.sqf; -o - for standard output), in the JSON's\n"
      "                                encoding (UTF-8 where it names none) or the one given\n"
      "  merge FILE.sqf FILE.sqf... -o OUT.sqf\n"
      "                                writes one script holding every side's briefing of the\n"
      "                                scripts (-o - for standard output); a side found in two of\n"
      "                                them, or a result too large to be opened again in full, is\n"
      "                                an error, and nothing is written\n"
      "  import [--strict] FILE.sqf [-o OUT.sqf | --json]\n"
      "                                reads a briefing.sqf written by hand or another tool and\n"
      "                                writes Quillfort's script of it (standard output without -o),\n"
      "                                or prints its JSON; every statement left out is reported with\n"
      "                                its line and column (with --strict it is an error)\n"
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
  const QCommandLineOption encoding(QStringLiteral("encoding"),
                                    QStringLiteral("build: write the script in <encoding>, utf-8 or ansi."),
                                    QStringLiteral("encoding"));
  const QCommandLineOption json(QStringLiteral("json"), QStringLiteral("import: print the briefing as JSON."));
  parser.addOption(strict);
  parser.addOption(output);
  parser.addOption(encoding);
  parser.addOption(json);
  parser.addPositionalArgument(QStringLiteral("command"),
                               QStringLiteral("check, export, build, merge or import"));
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
  if (parser.isSet(encoding) && command != QStringLiteral("build"))
    return usageError(QStringLiteral("--encoding belongs to build"));
  if (parser.isSet(encoding) && parser.value(encoding) != QStringLiteral("utf-8") &&
      parser.value(encoding) != QStringLiteral("ansi"))
    return usageError(QStringLiteral("--encoding takes utf-8 or ansi"));
  if (parser.isSet(json) && command != QStringLiteral("import"))
    return usageError(QStringLiteral("--json belongs to import"));
  if (command == QStringLiteral("check")) {
    if (parser.isSet(output))
      return usageError(QStringLiteral("check takes no -o"));
    if (files.isEmpty())
      return usageError(QStringLiteral("check needs at least one FILE"));
    return CliCommands::check(files, parser.isSet(strict));
  }
  const bool merge = command == QStringLiteral("merge");
  const bool import = command == QStringLiteral("import");
  if (command == QStringLiteral("export") || command == QStringLiteral("build") || merge || import) {
    if (parser.isSet(strict) && command != QStringLiteral("build") && !import)
      return usageError(QStringLiteral("--strict belongs to check, build and import"));
    if (import && parser.isSet(json) && parser.isSet(output))
      return usageError(QStringLiteral("import takes -o or --json, not both"));
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
    if (import)
      return CliCommands::import(files.first(), out, parser.isSet(json), parser.isSet(strict));
    return command == QStringLiteral("export")
               ? CliCommands::exportJson(files.first(), out)
               : CliCommands::build(files.first(), out, parser.isSet(strict), parser.value(encoding));
  }
  return usageError(
      QStringLiteral("unknown command \"%1\" (check, export, build, merge or import)").arg(command));
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
