#pragma once
// What an edit of the templates refuses from the user: beyond its text
// limit, and anything but the digits 0 to 9 in a digits-only edit. Only
// what the user types (or pastes) is judged: a text set by a load is shown
// whole, however long, and deleting is always allowed. QLineEdit's own
// maxLength would cut a loaded text, hence this validator.

#include <QLineEdit>
#include <QString>
#include <QValidator>

namespace pelmora {

class TypingValidator final : public QValidator {
 public:
  // The platform's default limit of an edit that was never limited.
  static constexpr int kDefaultLimit = 32767;

  // Judges the typing into `edit`, whose validator it becomes.
  TypingValidator(QLineEdit* edit, bool digitsOnly);

  void setLimit(int maxChars) { limit_ = maxChars; }
  bool digitsOnly() const { return digitsOnly_; }

  // Sets the edit's text from the program: shown whole, never judged.
  void setShownText(const QString& text);

  State validate(QString& input, int& pos) const override;

 private:
  QLineEdit* edit_;
  bool digitsOnly_;
  int limit_ = kDefaultLimit;
  QString shown_;  // the edit's text before the change being judged
};

}  // namespace pelmora
