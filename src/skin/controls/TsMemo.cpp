#include "skin/controls/TsMemo.h"

#include <QPainter>

#include "platform/Application.h"

#include <QScrollBar>
#include <QTextBlock>

namespace skin {

TsMemo::TsMemo(QWidget* parent) : TextBoxWidget(parent) {
    color_ = platform::clWindow;
    skinData_.ControlKind = KindMemo;
    skinData_.SetSkinSection(QStringLiteral("EDIT"));
    setLineWrapMode(QPlainTextEdit::NoWrap);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setTabChangesFocus(true); // Tab moves on, as in a dialog
    connect(this, &QPlainTextEdit::textChanged, this, [this] {
        if (OnChange)
            platform::RunCommand([this] { OnChange(this); });
    });
    FontChanged();
    ColorChanged();
    EditStyle::Apply(this);
    skinData_.ControlBuilt();
}

TsMemo::~TsMemo() {
    ComponentState |= csDestroying;
}

void TsMemo::WndProc(platform::Message& message) {
    if (!BoxSkinCommand(message))
        skinData_.HandleSkinCommand(message);
}

QString TsMemo::Text() const {
    QString text = toPlainText();
    text.replace(u'\n', QStringLiteral("\r\n"));
    return text;
}

void TsMemo::SetText(const QString& text) {
    QString plain = text;
    plain.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(u'\r', u'\n');
    if (plain == toPlainText())
        return;
    setPlainText(plain);
}

void TsMemo::InsertAtEnd(const QString& text) {
    QString plain = text;
    plain.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(u'\r', u'\n');
    QTextCursor cursor(document());
    cursor.movePosition(QTextCursor::End);
    cursor.insertText(plain);
}

int TsMemo::LineIndex(int line) const {
    const QTextBlock block = document()->findBlockByNumber(line);
    return block.isValid() ? FromDocumentPosition(block.position()) : -1;
}

int TsMemo::SelStart() const {
    return FromDocumentPosition(textCursor().selectionStart());
}

int TsMemo::SelLength() const {
    const QTextCursor c = textCursor();
    return FromDocumentPosition(c.selectionEnd()) - FromDocumentPosition(c.selectionStart());
}

void TsMemo::SetSelStart(int index) {
    QTextCursor c = textCursor();
    c.setPosition(ToDocumentPosition(index));
    setTextCursor(c);
}

void TsMemo::ScrollCaret() {
    ensureCursorVisible();
    // A caret at the start of a line also brings the left edge into view.
    if (textCursor().atBlockStart())
        horizontalScrollBar()->setValue(horizontalScrollBar()->minimum());
}

// Each line break is one position in the document and two characters outside.
int TsMemo::ToDocumentPosition(int index) const {
    index = std::max(index, 0);
    int position = 0;
    for (QTextBlock b = document()->begin(); b.isValid(); b = b.next()) {
        const int length = b.length() - 1; // without the break
        if (index <= length || !b.next().isValid())
            return position + std::min(index, length);
        index -= length + 2;
        position += length + 1;
        if (index < 0)
            return position - 1; // inside a CR LF pair: before the break
    }
    return position;
}

int TsMemo::FromDocumentPosition(int position) const {
    const QTextBlock block = document()->findBlock(position);
    return position + (block.isValid() ? block.blockNumber() : 0);
}

void TsMemo::ColorChanged() {
    SetBoxBaseColor(this, color_);
}

void TsMemo::paintEvent(QPaintEvent* event) {
    QPlainTextEdit::paintEvent(event);
    if (!isEnabled() && BoxSkinned()) {
        QPainter painter(viewport());
        DimLikeDisabled(painter, viewport()->rect(), viewport()->mapTo(this, QPoint(0, 0)));
    }
}

bool TsMemo::canInsertFromMimeData(const QMimeData* source) const {
    return BoxCanPaste(source);
}

void TsMemo::insertFromMimeData(const QMimeData* source) {
    BoxPaste(textCursor(), source);
}

} // namespace skin
