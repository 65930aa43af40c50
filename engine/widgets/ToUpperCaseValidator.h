#pragma once

#include <QValidator>

namespace Vantor {

// Accepts everything, in upper case.
class ToUpperCaseValidator : public QValidator
{
    Q_OBJECT
public:
    using QValidator::QValidator;
    State validate(QString &input, int &pos) const override;
};

} // namespace Vantor
