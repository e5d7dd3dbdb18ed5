#include "app/CommandLine.h"

#include "skin/data/TsSkinManager.h"

#include <QFileInfo>
#include <cstdio>

#ifndef CHAROLIST_VERSION
#define CHAROLIST_VERSION "0"
#endif

namespace app {

namespace {

const QString kSkin = QStringLiteral("--skin");

void Print(FILE* to, const QString& text) {
    const QByteArray bytes = text.toLocal8Bit();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), to);
}

} // namespace

CommandLine ParseCommandLine(const QStringList& arguments) {
    CommandLine options;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& arg = arguments[i];
        if (arg == QStringLiteral("--help") || arg == QStringLiteral("-h")) {
            options.Help = true;
        } else if (arg == QStringLiteral("--version")) {
            options.Version = true;
        } else if (arg == kSkin || arg.startsWith(kSkin + u'=')) {
            QString path;
            if (arg == kSkin) {
                if (i + 1 >= arguments.size()) {
                    options.Error = QStringLiteral("после --skin нужен путь к обложке");
                    continue;
                }
                path = arguments[++i];
            } else {
                path = arg.mid(kSkin.size() + 1);
            }
            if (path.isEmpty())
                options.Error = QStringLiteral("после --skin нужен путь к обложке");
            else
                options.SkinPath = QFileInfo(path).absoluteFilePath();
        }
    }
    return options;
}

QString HelpText() {
    return QStringLiteral(
        "Использование: charolist [--skin ПУТЬ]\n"
        "Чаролист: гадание на славянских рунах.\n"
        "\n"
        "  --skin ПУТЬ   начать с обложки из файла .asz или из папки обложки\n"
        "                (с файлом Options.dat); пока программа открыта, изменения\n"
        "                обложки появляются на экране сами, а ошибки выводятся сюда\n"
        "  --help        показать эту справку и выйти\n"
        "  --version     показать версию и выйти\n"
        "\n"
        "Без параметров берётся обложка Wood из папки ~/.local/share/charolist/Skins,\n"
        "а если её там нет, то встроенная.\n");
}

QString VersionText() {
    return QStringLiteral("Чаролист %1 (skin engine %2)\n")
        .arg(QStringLiteral(CHAROLIST_VERSION), skin::TsSkinManager::Version());
}

int AnswerOnTerminal(const CommandLine& options) {
    if (!options.Error.isEmpty()) {
        Print(stderr,
              QStringLiteral("charolist: %1\nСправка: charolist --help\n").arg(options.Error));
        return 2;
    }
    if (options.Help) {
        Print(stdout, HelpText());
        return 0;
    }
    if (options.Version) {
        Print(stdout, VersionText());
        return 0;
    }
    return -1;
}

} // namespace app
