// The multi-line text box of the program (the reading log). Its text is
// handed out with CR LF line breaks and character indexes count each break
// as two characters, as the rest of the program expects of a text box.
// With a skin in force its frame and scroll bars are the skin's ("EDIT",
// through EditStyle); Qt keeps the text work.
#pragma once

#include "skin/controls/TextBoxWidget.h"

#include <QPlainTextEdit>
#include <QTextBlock>
#include <functional>

namespace skin {

class TsMemo : public TextBoxWidget<QPlainTextEdit> {
    Q_OBJECT
public:
    explicit TsMemo(QWidget* parent = nullptr);
    ~TsMemo() override;

    void WndProc(platform::Message& message) override;

    // The whole text, lines joined by CR LF.
    QString Text() const;
    void SetText(const QString& text);
    void Clear() { SetText(QString()); }
    // Inserts text at the very end (CR LF or lone breaks become lines).
    void InsertAtEnd(const QString& text);

    int LineCount() const { return document()->blockCount(); }
    // The line at the top of the view.
    int FirstVisibleLine() const { return firstVisibleBlock().blockNumber(); }
    // The character index of the start of a line; -1 for a line that does not exist.
    int LineIndex(int line) const;
    int SelStart() const;
    int SelLength() const;
    // Puts an empty selection (the caret) at a character index.
    void SetSelStart(int index);
    // Scrolls so that the caret is visible.
    void ScrollCaret();

    // Runs after every change of the text, whoever made it.
    std::function<void(TsMemo* sender)> OnChange;

protected:
    void ColorChanged() override;
    void paintEvent(QPaintEvent* event) override;
    // Pasting goes through the text boxes' shared guard (BoxCanPaste).
    bool canInsertFromMimeData(const QMimeData* source) const override;
    void insertFromMimeData(const QMimeData* source) override;

private:
    int ToDocumentPosition(int index) const;
    int FromDocumentPosition(int position) const;
};

} // namespace skin
