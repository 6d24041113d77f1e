#include "platform/ScriptFile.h"

#include "platform/RuntimeError.h"

void ScriptFile::write(const QString&, const std::string&) {}
std::string ScriptFile::read(const QString&) { return {}; }
