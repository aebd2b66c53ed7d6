#include "ui/form_texts.h"

#include "ui/maker_texts.h"

namespace m797::ui::texts {

QString U(const char* text) {
  return QString::fromUtf8(text);
}

namespace {

QString Quoted(const char* name) {
  return U("\"") + U(name) + U("\"");
}

}  // namespace

QString TabSheet6Caption() {
  return U("О БК ") + U(maker::kTripComputerName);
}

QString Label3Text() {
  return U("Внешний вид БК\n") + U(maker::kTripComputerName);
}

QStringList Memo3Lines() {
  return {
      U("Программа для тестирования контроллеров ЭСУД автомобилей Hyundai Accent,Getz."),
      U("Программа работает с обычным К-лайн адаптером"),
      QString(),
      U("Версия 1.1 beta"),
      U("( Рекомендуемое разрешение экрана 800х600 точек)"),
      QString(),
      U("Изготовитель: Tarkon"),
      U("По вопросам и предложениям обращайтесь по адресу: ") + U(maker::kMailAddress),
  };
}

QString SpeedButton4Caption() {
  return U("Купить бортовой компьютер ") + U(maker::kTripComputerName) + U(" на сайте ") +
         U(maker::kSiteAddress);
}

QString SpeedButton5Caption() {
  return U("Написать письмо разработчику ПО: ") + U(maker::kMailAddress) + U(" ");
}

QString N1Caption() {
  return U("Подробнее о ") + Quoted(maker::kMakerName);
}

QString SiteItem1Caption() {
  return U("Перейти на сайт ") + U(maker::kSiteAddress);
}

QString Form2Caption() {
  return U("О ") + Quoted(maker::kMakerName);
}

// The banner's lines as scripts/make-pictures paints them.
QString BannerName() {
  return U("Бортовой компьютер «") + U(maker::kTripComputerName) + U("»");
}

QString BannerDescription() {
  return U("для автомобилей Hyundai Accent и Hyundai Getz (ЭБУ Bosch M7.9.7): расход топлива, "
           "напряжение, температура, коды неисправностей. Подробности и заказ: ") +
         U(kMakerSite);
}

QString PhotoName() {
  return Label3Text().replace('\n', ' ');
}

QString PhotoDescription() {
  return U("Бортовой компьютер ") + U(maker::kTripComputerName) +
         U(" на настольной подставке; на его синем двухстрочном дисплее «Расход 7.4л/100» и "
           "«Ub 13.8В 88°C»");
}

QStringList Memo4Lines() {
  const QString name = U(maker::kTripComputerName);
  return {
      U("Бортовой компьютер ") + name +
          U(" предназначен для автомобилей Hyundai Accent и Hyundai Getz с контроллером "
            "Bosch M7.9.7. Он подключается к диагностическому разъёму автомобиля, читает данные "
            "двигателя по К-линии и показывает их водителю на двухстрочном синем дисплее."),
      QString(),
      U("Возможности бортового компьютера:"),
      U("1. Мгновенный и средний расход топлива, расход за поездку и с начала учёта."),
      U("2. Запас хода по остатку топлива в баке."),
      U("3. Средняя скорость и время в пути, пробег за поездку."),
      U("4. Температура охлаждающей жидкости с предупреждением о перегреве."),
      U("5. Напряжение бортовой сети с предупреждением о неисправности зарядки."),
      U("6. Обороты двигателя, положение дросселя, время впрыска и давление на впуске."),
      U("7. Чтение и сброс кодов неисправностей контроллера с расшифровкой на русском языке."),
      U("8. Яркость дисплея по выбору водителя, установка на штатное место или на подставку."),
  };
}

QStringList Form2Memo1Lines() {
  const QString name = U(maker::kTripComputerName);
  return {
      U("Бортовой компьютер ") + name +
          U(" для автомобилей Hyundai Accent и Hyundai Getz с контроллером Bosch M7.9.7."),
      QString(),
      U("1.\tРасход топлива: мгновенный, средний, за поездку."),
      U("2.\tЗапас хода по остатку топлива."),
      U("3.\tСредняя скорость, время в пути и пробег."),
      U("4.\tТемпература двигателя и напряжение бортовой сети."),
      U("5.\tЧтение и сброс кодов неисправностей."),
      U("6.\tДвухстрочный синий дисплей с регулировкой яркости."),
  };
}

}  // namespace m797::ui::texts
