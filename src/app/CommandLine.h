// The program's options, read before anything needs a display:
//   charolist [--skin PATH]      starts with the skin package or folder at PATH
//   charolist --help | --version prints to the terminal and ends
// Arguments the program does not know are left to Qt and to the engine's
// own switch ("/acver").
#pragma once

#include <QString>
#include <QStringList>

namespace app {

struct CommandLine {
    bool Help = false, Version = false;
    // The skin to start with, made absolute; empty for the stored choice.
    QString SkinPath;
    // What is wrong with the options, for standard error; empty when none.
    QString Error;
};

// Reads the arguments after the program's name.
CommandLine ParseCommandLine(const QStringList& arguments);

QString HelpText();
QString VersionText();

// Answers --help, --version and option errors on the terminal. Returns the
// exit status when the program is to end here, or -1 to go on.
int AnswerOnTerminal(const CommandLine& options);

} // namespace app
