// quillfort-cli: check, export and build briefing scripts without the window.
#include "CliCommands.h"
#include "QuillfortVersion.h"

#include <QCommandLineParser>
#include <QCoreApplication>

#include <cstdio>

namespace {

constexpr int kUsageError = 2;

int usageError(const QString& message) {
  std::fprintf(stderr, "quillfort-cli: %s\nTry 'quillfort-cli --help'.\n", qUtf8Printable(message));
  return kUsageError;
}

} // namespace

int main(int argc, char* argv[]) {
  QCoreApplication app(argc, argv);
  QCoreApplication::setApplicationName(QStringLiteral("quillfort-cli"));
  QCoreApplication::setApplicationVersion(QString::fromLatin1(kVersionText));

  QCommandLineParser parser;
  parser.setApplicationDescription(QStringLiteral(
      "Checks, exports and builds Quillfort briefing scripts, reading and writing them exactly as the "
      "editor does.\n\n"
      "Commands:\n"
      "  check [--strict] FILE...      reads each script and prints its side, counts, current task\n"
      "                                and the briefing check's findings\n"
      "  export FILE.sqf [-o OUT.json] prints the briefing as JSON (or writes it into OUT.json)\n"
      "  build FILE.json [-o OUT.sqf]  writes the script the editor would save for that briefing\n"
      "                                (default FILE.sqf; -o - for standard output)\n\n"
      "Exit status: 0 done, 1 a file could not be read or written (with --strict: or a finding),\n"
      "2 a usage error."));
  const QCommandLineOption help = parser.addHelpOption();
  const QCommandLineOption version = parser.addVersionOption();
  const QCommandLineOption strict(QStringLiteral("strict"), QStringLiteral("check: a finding fails the check too."));
  const QCommandLineOption output(QStringList{QStringLiteral("o"), QStringLiteral("output")},
                                  QStringLiteral("export, build: write into <file> (- for standard output)."),
                                  QStringLiteral("file"));
  parser.addOption(strict);
  parser.addOption(output);
  parser.addPositionalArgument(QStringLiteral("command"), QStringLiteral("check, export or build"));
  parser.addPositionalArgument(QStringLiteral("files"), QStringLiteral("the scripts or the JSON file"),
                               QStringLiteral("FILE..."));

  if (!parser.parse(QCoreApplication::arguments()))
    return usageError(parser.errorText());
  if (parser.isSet(help)) {
    std::fputs(qUtf8Printable(parser.helpText()), stdout);
    return 0;
  }
  if (parser.isSet(version)) {
    std::printf("quillfort-cli %s\n", kVersionText);
    return 0;
  }

  QStringList arguments = parser.positionalArguments();
  if (arguments.isEmpty())
    return usageError(QStringLiteral("no command given"));
  const QString command = arguments.takeFirst();
  if (command == QStringLiteral("check")) {
    if (parser.isSet(output))
      return usageError(QStringLiteral("check takes no -o"));
    if (arguments.isEmpty())
      return usageError(QStringLiteral("check needs at least one FILE"));
    return CliCommands::check(arguments, parser.isSet(strict));
  }
  if (command == QStringLiteral("export") || command == QStringLiteral("build")) {
    if (parser.isSet(strict))
      return usageError(QStringLiteral("--strict belongs to check"));
    if (arguments.size() != 1)
      return usageError(QStringLiteral("%1 takes exactly one FILE").arg(command));
    if (parser.values(output).size() > 1)
      return usageError(QStringLiteral("-o is given more than once"));
    const QString out = parser.value(output);
    if (parser.isSet(output) && out.isEmpty())
      return usageError(QStringLiteral("-o needs a file name"));
    return command == QStringLiteral("export") ? CliCommands::exportJson(arguments.first(), out)
                                               : CliCommands::build(arguments.first(), out);
  }
  return usageError(QStringLiteral("unknown command \"%1\" (check, export or build)").arg(command));
}
