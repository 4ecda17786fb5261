#pragma once

#include "app/message_presenter.h"

#include <deque>
#include <functional>
#include <ostream>
#include <vector>

// Readable failures for Qt strings.
inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}

namespace tovrel::test {

struct ShownMessage {
    QString text;
    int style;
    QString title;
    bool operator==(const ShownMessage&) const = default;
};

inline void PrintTo(const ShownMessage& message, std::ostream* out) {
    *out << '{' << message.text.toStdString() << ", " << message.style << ", " << message.title.toStdString()
         << '}';
}

// Records every message box and answers it with the answer given in advance (OK when none was
// given for an OK box; a question without a prepared answer fails the test and answers No).
class RecordingPresenter final : public MessagePresenter {
public:
    void answerNext(int result) { m_answers.push_back(result); }
    int present(const QString& text, int style, const QString& title) override;

    std::vector<ShownMessage> shown;
    // Runs while the box is "open", before it answers.
    std::function<void()> whileOpen;

private:
    std::deque<int> m_answers;
};

} // namespace tovrel::test
