// The lines the fault lists show, one per known code, exactly as the mechanic reads them.
#pragma once

namespace m797::session::test {

inline constexpr const char* kExpectedTroubleCodeLines[] = {
    "0102 - Датчик массового расхода воздуха, низкий уровень выходного сигнала",   // mass air flow
                                                                                   // sensor, low
                                                                                   // output signal
    "0103 - Датчик массового расхода воздуха, высокий уровень выходного сигнала",  // mass air flow
                                                                                   // sensor, high
                                                                                   // output signal
    "0112 - Датчик температуры впускного воздуха, низкий уровень выходного сигнала",  // intake air
                                                                                      // temperature
                                                                                      // sensor, low
                                                                                      // output
                                                                                      // signal
    "0113 - Датчик температуры впускного воздуха, высокий уровень выходного сигнала",  // intake air
                                                                                       // temperature
                                                                                       // sensor,
                                                                                       // high
                                                                                       // output
                                                                                       // signal
    "0115 - Неверный сигнал датчика температуры охлаждающей жидкости",  // coolant temperature
                                                                        // sensor, invalid signal
    "0116 - Датчик температуры охлаждающей жидкости, выход сигнала из допустимого диапазона",  // coolant
                                                                                               // temperature
                                                                                               // sensor,
                                                                                               // signal
                                                                                               // out
                                                                                               // of
                                                                                               // range
    "0117 - Датчик температуры охлаждающей жидкости, низкий уровень выходного сигнала",  // coolant
                                                                                         // temperature
                                                                                         // sensor,
                                                                                         // low
                                                                                         // output
                                                                                         // signal
    "0118 - Датчик температуры охлаждающей жидкости, высокий уровень выходного сигнала",  // coolant
                                                                                          // temperature
                                                                                          // sensor,
                                                                                          // high
                                                                                          // output
                                                                                          // signal
    "0122 - Датчик положения дроссельной заслонки, низкий уровень выходного сигнала",  // throttle
                                                                                       // position
                                                                                       // sensor,
                                                                                       // low output
                                                                                       // signal
    "0123 - Датчик положения дроссельной заслонки, высокий уровень выходного сигнала",  // throttle
                                                                                        // position
                                                                                        // sensor,
                                                                                        // high
                                                                                        // output
                                                                                        // signal
    "0130 - Датчик кислорода до нейтрализатора неисправен",  // oxygen sensor before the catalyst,
                                                             // faulty
    "0131 - Датчик кислорода до нейтрализатора, низкий уровень выходного сигнала",  // oxygen sensor
                                                                                    // before the
                                                                                    // catalyst, low
                                                                                    // output signal
    "0132 - Датчик кислорода до нейтрализатора, высокий уровень выходного сигнала",  // oxygen
                                                                                     // sensor
                                                                                     // before the
                                                                                     // catalyst,
                                                                                     // high output
                                                                                     // signal
    "0133 - Датчик кислорода до нейтрализатора, медленный отклик на обогащение или обеднение",  // oxygen sensor before the catalyst, slow response to rich or lean
    "0134 - Датчик кислорода до нейтрализатора, обрыв цепи сигнала",  // oxygen sensor before the
                                                                      // catalyst, signal circuit
                                                                      // open
    "0135 - Датчика кислорода до нейтрализатора, нагреватель несправен",  // oxygen sensor before
                                                                          // the catalyst, heater
                                                                          // faulty
    "0136 - Датчик кислорода после нейтрализатора, обрыв цепи сигнала",   // oxygen sensor after the
                                                                         // catalyst, signal circuit
                                                                         // open
    "0137 - Датчик кислорода после нейтрализатора, низкий уровень сигнала",   // oxygen sensor after
                                                                              // the catalyst, low
                                                                              // signal
    "0138 - Датчик кислорода после нейтрализатора, высокий уровень сигнала",  // oxygen sensor after
                                                                              // the catalyst, high
                                                                              // signal
    "0140 - Датчик кислорода после нейтрализатора, обрыв цепи сигнала",  // oxygen sensor after the
                                                                         // catalyst, signal circuit
                                                                         // open
    "0141 - Датчика кислорода после нейтрализатора, нагреватель несправен",  // oxygen sensor after
                                                                             // the catalyst, heater
                                                                             // faulty
    "0171 - Система топливоподачи слишком бедная",                           // fuel system too lean
    "0172 - Система топливоподачи слишком богатая",                          // fuel system too rich
    "0200 - Цепь управления форсунками неисправна",         // injector control circuit faulty
    "0201 - Цепь управления форсункой цилиндра №1, обрыв",  // injector control circuit, cylinder 1,
                                                            // open
    "0202 - Цепь управления форсункой цилиндра №2, обрыв",  // injector control circuit, cylinder 2,
                                                            // open
    "0203 - Цепь управления форсункой цилиндра №3, обрыв",  // injector control circuit, cylinder 3,
                                                            // open
    "0204 - Цепь управления форсункой цилиндра №4, обрыв",  // injector control circuit, cylinder 4,
                                                            // open
    "0261 - Цепь управления форсункой цилиндра №1, замыкание на землю",  // injector control
                                                                         // circuit, cylinder 1,
                                                                         // short to ground
    "0262 - Цепь управления форсункой цилиндра №1, замыкание на +12В",  // injector control circuit,
                                                                        // cylinder 1, short to +12
                                                                        // V
    "0264 - Цепь управления форсункой цилиндра №2, замыкание на землю",  // injector control
                                                                         // circuit, cylinder 2,
                                                                         // short to ground
    "0265 - Цепь управления форсункой цилиндра №2, замыкание на +12В",  // injector control circuit,
                                                                        // cylinder 2, short to +12
                                                                        // V
    "0267 - Цепь управления форсункой цилиндра №3, замыкание на землю",  // injector control
                                                                         // circuit, cylinder 3,
                                                                         // short to ground
    "0268 - Цепь управления форсункой цилиндра №3, замыкание на +12В",  // injector control circuit,
                                                                        // cylinder 3, short to +12
                                                                        // V
    "0270 - Цепь управления форсункой цилиндра №4, замыкание на землю",  // injector control
                                                                         // circuit, cylinder 4,
                                                                         // short to ground
    "0271 - Цепь управления форсункой цилиндра №4, замыкание на +12В",  // injector control circuit,
                                                                        // cylinder 4, short to +12
                                                                        // V
    "0300 - Обнаружены случайные или множественные пропуски воспламенения",  // random or multiple
                                                                             // misfire detected
    "0301 - Обнаружены пропуски воспламенения в 1-ом цилиндре",  // misfire detected in cylinder 1
    "0302 - Обнаружены пропуски воспламенения в 2-ом цилиндре",  // misfire detected in cylinder 2
    "0303 - Обнаружены пропуски воспламенения в 3-ем цилиндре",  // misfire detected in cylinder 3
    "0304 - Обнаружены пропуски воспламенения в 4-ом цилиндре",  // misfire detected in cylinder 4
    "0325 - Обрыв датчика детонации",                            // knock sensor open
    "0327 - Датчик детонации, низкий уровень сигнала",           // knock sensor, low signal
    "0328 - Датчик детонации, высокий уровень сигнала",          // knock sensor, high signal
    "0335 - Датчик положения коленчатого вала, нет сигнала",     // crankshaft position sensor, no
                                                                 // signal
    "0336 - Датчик положения коленчатого вала, сигнал выходит за допустимые пределы",  // crankshaft
                                                                                       // position
                                                                                       // sensor,
                                                                                       // signal out
                                                                                       // of limits
    "0337 - Датчик положения коленчатого вала, замыкание цепи на массу",  // crankshaft position
                                                                          // sensor, circuit shorted
                                                                          // to ground
    "0338 - Датчик положения коленчатого вала, обрыв цепи",  // crankshaft position sensor, circuit
                                                             // open
    "0340 - Датчик положения распределительного вала неисправен (Ошибка датчика фазы)",  // camshaft
                                                                                         // position
                                                                                         // sensor
                                                                                         // faulty
                                                                                         // (phase
                                                                                         // sensor
                                                                                         // error)
    "0342 - Датчик положения распределительного вала низкий уровень сигнала",  // camshaft position
                                                                               // sensor, low signal
    "0343 - Датчик положения распределительного вала высокий уровень сигнала",  // camshaft position
                                                                                // sensor, high
                                                                                // signal
    "0422 - Эффективность нейтрализатора ниже порога",  // catalyst efficiency below threshold
    "0441 - Некорректный расход воздуха через клапан",  // incorrect air flow through the (purge)
                                                        // valve
    "0443 - Управление клапаном продувки адсорбера неисправно",  // canister purge valve control
                                                                 // faulty
    "0444 - Замыкание на +12В, обрыв цепи клапана продувки адсорбера",  // canister purge valve
                                                                        // circuit, short to +12 V
                                                                        // or open
    "0445 - Замыкание на землю цепи клапана продувки адсорбера",  // canister purge valve circuit,
                                                                  // short to ground
    "0480 - Цепь управления реле вентилятора 1; обрыв, замыкание на +12В или на землю",  // fan
                                                                                         // relay 1
                                                                                         // control
                                                                                         // circuit:
                                                                                         // open,
                                                                                         // short to
                                                                                         // +12 V or
                                                                                         // to
                                                                                         // ground
    "0481 - Цепь управления реле вентилятора 2; обрыв, замыкание на +12В или на землю",  // fan
                                                                                         // relay 2
                                                                                         // control
                                                                                         // circuit:
                                                                                         // open,
                                                                                         // short to
                                                                                         // +12 V or
                                                                                         // to
                                                                                         // ground
    "0500 - Датчик скорости автомобиля, нет сигнала",            // vehicle speed sensor, no signal
    "0501 - Ошибка датчика скорости автомобиля",                 // vehicle speed sensor error
    "0503 - Датчик скорости автомобиля, перемежающийся сигнал",  // vehicle speed sensor,
                                                                 // intermittent signal
    "0505 - Ошибка регулятора холостого хода",                   // idle speed controller error
    "0506 - Регулятор холостого хода заблокирован, низкие обороты",   // idle speed controller
                                                                      // blocked, low engine speed
    "0507 - Регулятор холостого хода заблокирован, высокие обороты",  // idle speed controller
                                                                      // blocked, high engine speed
    "0560 - Бортовое напряжение ниже порога работоспособности системы",  // system voltage below the
                                                                         // operating threshold
    "0562 - Бортовое напряжение имеет низкий уровень",                   // system voltage low
    "0563 - Бортовое напряжение имеет высокий уровень",                  // system voltage high
    "0601 - Неисправность FLASH-памяти",                                 // FLASH memory fault
    "0603 - Неисправность ОЗУ блока управления ",                        // control unit RAM fault
    "0604 - Ошибка контрольной суммы внутреннего ОЗУ контроллера",  // internal RAM checksum error
                                                                    // of the controller
    "0607 - Неверный сигнал канала детонации контроллера",  // controller knock channel, invalid
                                                            // signal
    "0615 - Цепь управления реле стартера, обрыв",          // starter relay control circuit, open
    "0616 - Цепь управления реле стартера, замыкание на массу",  // starter relay control circuit,
                                                                 // short to ground
    "0617 - Цепь управления реле стартера, замыкание на +12В",   // starter relay control circuit,
                                                                 // short to +12 V
};

}  // namespace m797::session::test
