#include "app/user_number_format.h"

#include <QLocale>

namespace orvane {

NumberFormat UserNumberFormat() {
  const QLocale locale;
  return NumberFormat{locale.groupSeparator().toStdString(),
                      locale.decimalPoint().toStdString()};
}

}  // namespace orvane
