#include "ToUpperCaseValidator.h"

namespace Vantor {

QValidator::State ToUpperCaseValidator::validate(QString &input, int &) const
{
    input = input.toUpper();
    return Acceptable;
}

} // namespace Vantor
