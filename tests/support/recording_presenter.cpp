#include "support/recording_presenter.h"

#include <gtest/gtest.h>

namespace tovrel::test {

int RecordingPresenter::present(const QString& text, int style, const QString& title) {
    shown.push_back({text, style, title});
    if (whileOpen) whileOpen();
    if (!m_answers.empty()) {
        const int answer = m_answers.front();
        m_answers.pop_front();
        return answer;
    }
    if (style == StyleYesNo) {
        ADD_FAILURE() << "unexpected question: " << text.toStdString();
        return ResultNo;
    }
    return ResultOk;
}

} // namespace tovrel::test
