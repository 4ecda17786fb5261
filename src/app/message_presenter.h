#pragma once

#include <QString>

namespace tovrel {

// Button codes a message box answers with.
enum MessageResult {
    ResultOk = 0,
    ResultCancel = 1,
    ResultAbort = 2,
    ResultRetry = 3,
    ResultIgnore = 4,
    ResultYes = 5,
    ResultNo = 6
};

// Styles a message box is asked for.
enum MessageStyle { StyleOk = 0, StyleYesNo = 4, StyleError = 16 };

// Shows a modal message box and tells which button closed it.
class MessagePresenter {
public:
    virtual ~MessagePresenter() = default;
    virtual int present(const QString& text, int style, const QString& title) = 0;
};

// The real one: an application-modal QMessageBox without an owner.
class QtMessagePresenter final : public MessagePresenter {
public:
    int present(const QString& text, int style, const QString& title) override;
};

} // namespace tovrel
