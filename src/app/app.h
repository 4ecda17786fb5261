#pragma once

#include "app/platform.h"
#include "app/window_definition.h"
#include "runtime/http.h"
#include "runtime/text.h"

#include <QHash>
#include <QPointer>
#include <QStringView>
#include <QWidget>

#include <memory>
#include <optional>

namespace tovrel {

class MainWindow;

// The program's context: the outside world it was handed, the main window and the operations
// that every command works through. Commands keep no state of their own; the controls are the state.
class App final {
public:
    explicit App(Platform platform);
    ~App();
    App(const App&) = delete;
    App& operator=(const App&) = delete;

    MainWindow& window() { return *m_window; }
    Platform& platform() { return m_platform; }

    // Control operations, by control name.
    Text getText(QStringView name) const;
    void setText(QStringView name, const Text& text);
    bool isChecked(QStringView name) const;
    void setDisabled(QStringView name, bool disabled);
    void setPicture(QStringView name, const Bytes& bytes);
    Bytes getPicture(QStringView name) const;

    // A modal message box; with no title, "信息：".
    int showMessage(const Text& text, int style, const std::optional<Text>& title = std::nullopt);

    // The activity log.
    void appendLog(const Text& words);
    void setLog(const Text& text);

    // A GET that keeps the window painting while it waits.
    Bytes httpFetch(std::string_view address);

    QWidget* control(QStringView name) const;

private:
    Platform m_platform;
    HttpClient m_http;
    std::unique_ptr<MainWindow> m_window;
};

// The main window, built from its definition; it defers a close asked for while a handler runs.
class MainWindow final : public QWidget {
    Q_OBJECT
public:
    MainWindow(App& app, const std::vector<ControlDef>& definition);

    QWidget* control(QStringView name) const { return m_controls.value(name.toString()); }
    const QHash<QString, QWidget*>& controls() const { return m_controls; }

    // Runs a click handler; a close that arrives meanwhile happens once it has returned.
    void runHandler(const std::function<void(App&)>& handler);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    App& m_app;
    QHash<QString, QWidget*> m_controls;
    int m_running = 0;
    bool m_closePending = false;
};

// The check boxes 选择框first..last form a group whose ticked member locks the others.
QString checkBoxName(int number);
bool anyChecked(const App& app, int first, int last);
// Disables (or enables) every box of the group but 选择框number.
void setOthersDisabled(App& app, int first, int last, int number, bool disabled);

// Client size of the main window and its outer size on the original frame.
inline constexpr int mainClientWidth = 621;
inline constexpr int mainClientHeight = 531;
inline constexpr int mainOuterWidth = 627;
inline constexpr int mainOuterHeight = 560;

const std::vector<ControlDef>& mainWindowDefinition();

} // namespace tovrel
