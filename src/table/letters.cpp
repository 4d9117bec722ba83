#include "letters.h"

namespace strelkavo {

QString appendLetter(const QString &text, const QString &letter, int maxLength)
{
    return (text + letter).left(maxLength);
}

} // namespace strelkavo
