#include "app/qt/typing_validator.h"

#include <algorithm>

namespace pelmora {

TypingValidator::TypingValidator(QLineEdit* edit, bool digitsOnly)
    : QValidator(edit), edit_(edit), digitsOnly_(digitsOnly), shown_(edit->text()) {
  edit->setValidator(this);
  QObject::connect(edit, &QLineEdit::textChanged, this, [this](const QString& text) { shown_ = text; });
}

void TypingValidator::setShownText(const QString& text) {
  shown_ = text;  // judged as no change at all
  edit_->setText(text);
}

QValidator::State TypingValidator::validate(QString& input, int& /*pos*/) const {
  if (input == shown_) return Acceptable;
  // The typed (or pasted) characters: what stands between the parts that
  // the old and the new text share at their start and at their end.
  const qsizetype shorter = std::min(input.size(), shown_.size());
  qsizetype prefix = 0;
  while (prefix < shorter && input[prefix] == shown_[prefix]) ++prefix;
  qsizetype suffix = 0;
  while (suffix < shorter - prefix && input[input.size() - 1 - suffix] == shown_[shown_.size() - 1 - suffix])
    ++suffix;
  const QStringView inserted = QStringView(input).mid(prefix, input.size() - prefix - suffix);

  if (digitsOnly_ && std::any_of(inserted.begin(), inserted.end(),
                                 [](QChar c) { return c < QLatin1Char('0') || c > QLatin1Char('9'); }))
    return Invalid;
  // Past the limit only a change that makes the text shorter gets through.
  if (input.size() > limit_ && input.size() >= shown_.size()) return Invalid;
  return Acceptable;
}

}  // namespace pelmora
