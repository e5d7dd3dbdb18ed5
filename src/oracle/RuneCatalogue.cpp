#include "oracle/RuneCatalogue.h"

#include <QFile>
#include <stdexcept>

namespace oracle {

QString RuneName(RuneNumber n) {
    static const char* const kNames[kRuneCount] = {
        "Ас",    "Берёза", "Веди",  "Глаголь", "Добро", "Есть", "Живете", "Земля",
        "Иже",   "Како",   "Людие", "Мыслите", "Наш",   "Он",   "Покой",  "Рцы",
        "Слово", "Твёрдо", "Ук",    "Ферт",    "Хер",   "Чары", "Ы",      "Зело"};
    return n >= 1 && n <= kRuneCount ? QString::fromUtf8(kNames[n - 1]) : QString();
}

QString InterpretationLabel(RuneNumber n) {
    return n >= 1 && n <= kRuneCount ? QStringLiteral("sLabel%1").arg(n) : QString();
}

QString GuideLabel(int spreadKind) {
    return spreadKind >= 4 && spreadKind <= 6 ? QStringLiteral("sLabel%1").arg(21 + spreadKind)
                                              : QString();
}

QString TextStore::ToLogForm(const QString& fileText) {
    QString text = fileText;
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    if (text.endsWith(u'\n'))
        text.chop(1);
    text.replace(u'\n', QStringLiteral("\r\n"));
    return text;
}

TextStore TextStore::LoadEmbedded() {
    std::map<QString, QString> texts;
    auto load = [&](const QString& label, const QString& file) {
        QFile f(QStringLiteral(":/texts/") + file);
        if (!f.open(QIODevice::ReadOnly))
            throw std::runtime_error("Text " + file.toStdString() + " is missing");
        texts[label] = ToLogForm(QString::fromUtf8(f.readAll()));
    };
    for (int n = 1; n <= kRuneCount; ++n)
        load(InterpretationLabel(n), QStringLiteral("rune-%1.txt").arg(n, 2, 10, QChar(u'0')));
    for (int kind = 4; kind <= 6; ++kind)
        load(GuideLabel(kind), QStringLiteral("guide-%1.txt").arg(kind));
    return TextStore(std::move(texts));
}

QString TextStore::Caption(const QString& label) const {
    const auto it = texts_.find(label);
    return it == texts_.end() ? QString() : it->second;
}

} // namespace oracle
