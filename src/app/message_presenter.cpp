#include "app/message_presenter.h"

#include <QMessageBox>

namespace tovrel {

int QtMessagePresenter::present(const QString& text, int style, const QString& title) {
    QMessageBox box;
    box.setWindowTitle(title);
    box.setText(text);
    box.setWindowModality(Qt::ApplicationModal);
    switch (style) {
    case StyleYesNo:
        box.setIcon(QMessageBox::NoIcon);
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.setDefaultButton(QMessageBox::Yes);
        break;
    case StyleError:
        box.setIcon(QMessageBox::Critical);
        box.setStandardButtons(QMessageBox::Ok);
        break;
    default:
        box.setIcon(QMessageBox::NoIcon);
        box.setStandardButtons(QMessageBox::Ok);
        break;
    }
    switch (box.exec()) {
    case QMessageBox::Yes:
        return ResultYes;
    case QMessageBox::No:
        return ResultNo;
    case QMessageBox::Cancel:
        return ResultCancel;
    default:
        return ResultOk;
    }
}

} // namespace tovrel
