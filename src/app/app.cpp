#include "app/app.h"

#include "app/message_presenter.h"
#include "runtime/picture_box.h"
#include "runtime/wait.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QKeySequence>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QShortcut>
#include <QTextCursor>

namespace tovrel {

namespace {

// The log box keeps paragraphs; the logic speaks of "\r\n".
QString logFromText(const Text& text) {
    QString decoded = fromGbk(text);
    decoded.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    return decoded;
}

void showFromStart(QPlainTextEdit* log) {
    QTextCursor start(log->document());
    log->setTextCursor(start);
    log->verticalScrollBar()->setValue(0);
    log->horizontalScrollBar()->setValue(0);
}

} // namespace

App::App(Platform platform)
    : m_platform(std::move(platform)), m_http(m_platform.http),
      m_window(std::make_unique<MainWindow>(*this, mainWindowDefinition())) {}

App::~App() = default;

QWidget* App::control(QStringView name) const {
    return m_window->control(name);
}

Text App::getText(QStringView name) const {
    QWidget* widget = control(name);
    if (auto* field = qobject_cast<TextField*>(widget)) return field->text();
    if (auto* edit = qobject_cast<QLineEdit*>(widget)) return toGbk(edit->text());
    if (auto* log = qobject_cast<QPlainTextEdit*>(widget)) {
        // The raw text keeps every character as written (plain text would turn a no-break space into a
        // space); only the paragraph breaks become "\r\n".
        QString text = log->document()->toRawText();
        text.replace(QChar::ParagraphSeparator, QLatin1String("\r\n"));
        return toGbk(text);
    }
    return {};
}

void App::setText(QStringView name, const Text& text) {
    QWidget* widget = control(name);
    if (auto* field = qobject_cast<TextField*>(widget)) {
        field->setText(text);
    } else if (auto* edit = qobject_cast<QLineEdit*>(widget)) {
        edit->setText(fromGbk(text));
        edit->setCursorPosition(0);
    } else if (auto* log = qobject_cast<QPlainTextEdit*>(widget)) {
        log->setPlainText(logFromText(text));
        showFromStart(log);
    }
}

bool App::isChecked(QStringView name) const {
    auto* check = qobject_cast<QCheckBox*>(control(name));
    return check != nullptr && check->isChecked();
}

void App::setDisabled(QStringView name, bool disabled) {
    if (QWidget* widget = control(name)) widget->setDisabled(disabled);
}

void App::setPicture(QStringView name, const Bytes& bytes) {
    if (auto* picture = qobject_cast<PictureBox*>(control(name))) picture->setPicture(bytes);
}

Bytes App::getPicture(QStringView name) const {
    auto* picture = qobject_cast<PictureBox*>(control(name));
    return picture != nullptr ? picture->picture() : Bytes{};
}

int App::showMessage(const Text& text, int style, const std::optional<Text>& title) {
    const QString shownTitle = title ? fromGbk(*title) : QStringLiteral("信息：");
    return m_platform.messages->present(fromGbk(text), style, shownTitle);
}

void App::appendLog(const Text& words) {
    // Inserting at the end leaves the same text as reading it and writing it back, at a cost that
    // does not grow with the log.
    auto* log = qobject_cast<QPlainTextEdit*>(control(u"日志编辑框"));
    if (log == nullptr) return;
    QTextCursor end(log->document());
    end.movePosition(QTextCursor::End);
    end.insertText(logFromText(words));
    showFromStart(log);
}

void App::setLog(const Text& text) {
    setText(u"日志编辑框", text);
}

Bytes App::httpFetch(std::string_view address) {
    Bytes body;
    const std::string request(address);
    runWaiting([&] { body = m_http.fetch(request); });
    return body;
}

QString checkBoxName(int number) {
    return QStringLiteral("选择框%1").arg(number);
}

bool anyChecked(const App& app, int first, int last) {
    for (int number = first; number <= last; ++number)
        if (app.isChecked(checkBoxName(number))) return true;
    return false;
}

void setOthersDisabled(App& app, int first, int last, int number, bool disabled) {
    for (int other = first; other <= last; ++other)
        if (other != number) app.setDisabled(checkBoxName(other), disabled);
}

MainWindow::MainWindow(App& app, const std::vector<ControlDef>& definition) : m_app(app) {
    setWindowTitle(QStringLiteral("Tovrel v1.0"));
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    setFixedSize(mainClientWidth, mainClientHeight);
    m_controls = buildControls(this, definition);
    for (const ControlDef& def : definition) {
        if (!def.onClick) continue;
        QWidget* widget = m_controls.value(def.name);
        const auto handler = def.onClick;
        if (auto* check = qobject_cast<QCheckBox*>(widget))
            connect(check, &QCheckBox::clicked, this, [this, handler] { runHandler(handler); });
        else if (auto* button = qobject_cast<QPushButton*>(widget))
            connect(button, &QPushButton::clicked, this, [this, handler] { runHandler(handler); });
    }
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    escape->setContext(Qt::WindowShortcut);
    connect(escape, &QShortcut::activated, this, &QWidget::close);
}

void MainWindow::runHandler(const std::function<void(App&)>& handler) {
    ++m_running;
    handler(m_app);
    --m_running;
    if (m_running == 0 && m_closePending) {
        m_closePending = false;
        close();
    }
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (m_running > 0) {
        m_closePending = true;
        event->ignore();
        return;
    }
    QWidget::closeEvent(event);
}

} // namespace tovrel
