// The few messages the engine and the models show reach the user through a
// Reporter. The windows provide one that opens a message box captioned
// "Velmora"; tests record what was said and answer questions from a script.
#pragma once

#include <deque>
#include <mutex>
#include <string>
#include <vector>

namespace vm {

enum class MessageIcon { kNone, kError, kWarning, kInformation, kQuestion };
enum class MessageButtons { kOk, kYesNo };
enum class Answer { kOk, kYes, kNo };

class Reporter {
  public:
    virtual ~Reporter() = default;
    virtual Answer Show(const std::wstring& text, MessageIcon icon, MessageButtons buttons) = 0;
    void Tell(const std::wstring& text, MessageIcon icon = MessageIcon::kNone) {
        Show(text, icon, MessageButtons::kOk);
    }
    bool Ask(const std::wstring& text, MessageIcon icon = MessageIcon::kWarning) {
        return Show(text, icon, MessageButtons::kYesNo) == Answer::kYes;
    }
};

// Says nothing; questions are answered No.
class SilentReporter final : public Reporter {
  public:
    Answer Show(const std::wstring&, MessageIcon, MessageButtons buttons) override {
        return buttons == MessageButtons::kOk ? Answer::kOk : Answer::kNo;
    }
};

// Records every message; questions take the next scripted answer (Yes when
// none is left). Safe to use from several threads.
class RecordingReporter final : public Reporter {
  public:
    struct Message {
        std::wstring text;
        MessageIcon icon;
        MessageButtons buttons;
    };

    Answer Show(const std::wstring& text, MessageIcon icon, MessageButtons buttons) override {
        std::lock_guard lock(mutex_);
        messages_.push_back({text, icon, buttons});
        if (buttons == MessageButtons::kOk)
            return Answer::kOk;
        if (answers_.empty())
            return Answer::kYes;
        Answer next = answers_.front();
        answers_.pop_front();
        return next;
    }
    void ScriptAnswer(Answer answer) {
        std::lock_guard lock(mutex_);
        answers_.push_back(answer);
    }
    std::vector<Message> messages() const {
        std::lock_guard lock(mutex_);
        return messages_;
    }
    std::vector<std::wstring> texts() const {
        std::lock_guard lock(mutex_);
        std::vector<std::wstring> result;
        for (const auto& m : messages_)
            result.push_back(m.text);
        return result;
    }
    void Clear() {
        std::lock_guard lock(mutex_);
        messages_.clear();
    }

  private:
    mutable std::mutex mutex_;
    std::vector<Message> messages_;
    std::deque<Answer> answers_;
};

}  // namespace vm
