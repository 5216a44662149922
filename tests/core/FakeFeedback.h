#pragma once

// A UserFeedback that records every call in order, for tests of any layer.

#include <deque>
#include <string>
#include <string_view>
#include <vector>

#include "core/UserFeedback.h"

namespace zandrel::testing {

class FakeFeedback : public UserFeedback {
public:
    enum class Kind { Message, Question, Caption };

    struct Call {
        Kind kind;
        std::string text;     // message or question text; the caption itself for Kind::Caption
        std::string caption;  // box caption; empty for Kind::Caption
        bool operator==(const Call&) const = default;
    };

    std::vector<Call> calls;
    /// Answers for the next questions, in order; once used up, questions are answered `defaultAnswer`.
    std::deque<bool> answers;
    bool defaultAnswer = true;

    void message(std::string_view text, std::string_view caption) override {
        calls.push_back({Kind::Message, std::string(text), std::string(caption)});
    }

    bool askYesNo(std::string_view text, std::string_view caption) override {
        calls.push_back({Kind::Question, std::string(text), std::string(caption)});
        if (answers.empty()) return defaultAnswer;
        const bool answer = answers.front();
        answers.pop_front();
        return answer;
    }

    void setCaption(std::string_view caption) override {
        calls.push_back({Kind::Caption, std::string(caption), {}});
    }

    /// The message boxes shown, as (text, caption) calls, without captions and questions.
    std::vector<Call> messages() const {
        std::vector<Call> result;
        for (const Call& call : calls)
            if (call.kind == Kind::Message) result.push_back(call);
        return result;
    }

    /// The last caption set, or empty when none was.
    std::string lastCaption() const {
        for (auto it = calls.rbegin(); it != calls.rend(); ++it)
            if (it->kind == Kind::Caption) return it->text;
        return {};
    }

    static Call Message(std::string text, std::string caption) {
        return {Kind::Message, std::move(text), std::move(caption)};
    }
    static Call Caption(std::string caption) { return {Kind::Caption, std::move(caption), {}}; }
};

}  // namespace zandrel::testing
