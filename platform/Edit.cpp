#include "platform/Edit.h"

#include <QPointer>
#include <QTextCursor>
#include <QTextEdit>

#include "platform/FontMapping.h"
#include "platform/Wnd.h"
#include "platform/WndHost.h"

namespace {

QString FromWindows(const std::string& text) {
    QString s = QString::fromLatin1(text.data(), qsizetype(text.size()));
    s.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return s;
}

std::string ToWindows(QString s) {
    s.replace(QChar::ParagraphSeparator, QChar('\n'));
    s.replace(QChar('\n'), QStringLiteral("\r\n"));
    return s.toLatin1().toStdString();
}

} // namespace

struct CEdit::Impl {
    QPointer<QTextEdit> edit;
};

CEdit::CEdit() : impl(std::make_unique<Impl>()) {}

CEdit::~CEdit() {
    DestroyWindow();
}

BOOL CEdit::Create(DWORD s, const CRect& rect, CWnd* parent, UINT controlId) {
    DestroyWindow();
    if (!parent || !parent->Host())
        return FALSE;
    style = s;
    id = controlId;
    auto* edit = new QTextEdit(parent->Host());
    edit->setAcceptRichText(false);
    edit->setFrameStyle(QFrame::NoFrame);
    edit->setObjectName(QStringLiteral("edit-%1").arg(controlId));
    edit->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    edit->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    edit->setLineWrapMode((s & ES_AUTOHSCROLL) ? QTextEdit::NoWrap : QTextEdit::WidgetWidth);
    Qt::Alignment align = Qt::AlignLeft;
    if (s & ES_CENTER)
        align = Qt::AlignHCenter;
    else if (s & ES_RIGHT)
        align = Qt::AlignRight;
    QTextOption option = edit->document()->defaultTextOption();
    option.setAlignment(align);
    edit->document()->setDefaultTextOption(option);
    edit->setGeometry(rect.left, rect.top, std::max<LONG>(rect.Width(), 0),
                      std::max<LONG>(rect.Height(), 0));
    edit->setVisible(s & WS_VISIBLE);
    impl->edit = edit;
    return TRUE;
}

void CEdit::DestroyWindow() {
    if (impl->edit)
        delete impl->edit.data();
    impl->edit = nullptr;
}

bool CEdit::IsWindow() const {
    return impl->edit != nullptr;
}

CRect CEdit::GetWindowRect() const {
    if (!impl->edit)
        return CRect();
    const QRect g = impl->edit->geometry();
    return CRect(g.left(), g.top(), g.left() + g.width(), g.top() + g.height());
}

void CEdit::SetFont(const LOGFONTA& font) {
    if (impl->edit)
        impl->edit->setFont(QFontFromLogFont(font));
}

void CEdit::SetWindowText(const std::string& text) {
    if (impl->edit)
        impl->edit->setPlainText(FromWindows(text));
}

std::string CEdit::GetWindowText() const {
    return impl->edit ? ToWindows(impl->edit->toPlainText()) : std::string();
}

void CEdit::SetSel(int start, int end) {
    if (!impl->edit)
        return;
    QTextCursor cursor = impl->edit->textCursor();
    const int length = impl->edit->document()->characterCount() - 1;
    cursor.setPosition(std::clamp(start, 0, length));
    cursor.setPosition(end < 0 ? length : std::clamp(end, 0, length), QTextCursor::KeepAnchor);
    impl->edit->setTextCursor(cursor);
}

std::string CEdit::GetSelectedText() const {
    return impl->edit ? ToWindows(impl->edit->textCursor().selectedText()) : std::string();
}

void CEdit::ScrollCaret() {
    if (impl->edit)
        impl->edit->ensureCursorVisible();
}

void CEdit::ShowWindow(bool show) {
    if (impl->edit)
        impl->edit->setVisible(show);
}

void CEdit::SetFocus() {
    if (impl->edit)
        impl->edit->setFocus(Qt::OtherFocusReason);
}

void CEdit::TypeText(const std::string& text) {
    if (impl->edit)
        impl->edit->insertPlainText(FromWindows(text));
}
