<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ru_RU" sourcelanguage="en">
<context>
    <name>Pelmora</name>
    <message>
        <source>Scan Ports</source>
        <translation>Поиск портов</translation>
    </message>
    <message>
        <source>Read Settings</source>
        <translation>Прочитать</translation>
    </message>
    <message>
        <source>Write Settings</source>
        <translation>Записать</translation>
    </message>
    <message>
        <source>Magic Number</source>
        <translation>Сигнатура</translation>
    </message>
    <message>
        <source>ROM Ver</source>
        <translation>Версия</translation>
    </message>
    <message>
        <source>IMEI</source>
        <translation>IMEI</translation>
    </message>
    <message>
        <source>?</source>
        <translation>?</translation>
    </message>
    <message>
        <source>About Pelmora</source>
        <translation>О программе Pelmora</translation>
    </message>
    <message>
        <source>&amp;About Pelmora...</source>
        <translation>&amp;О программе Pelmora...</translation>
    </message>
    <message>
        <source>Pelmora, Version %1</source>
        <translation>Pelmora, версия %1</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>ОК</translation>
    </message>
    <message>
        <source>Sms Track</source>
        <translation>SMS-отчёты</translation>
    </message>
    <message>
        <source>Key Binding</source>
        <translation>Кнопки</translation>
    </message>
    <message>
        <source>APN</source>
        <translation>APN</translation>
    </message>
    <message>
        <source>AGPS</source>
        <translation>AGPS</translation>
    </message>
    <message>
        <source>Transport</source>
        <translation>Передача</translation>
    </message>
    <message>
        <source>Misc</source>
        <translation>Разное</translation>
    </message>
    <message>
        <source>Password</source>
        <translation>Пароль</translation>
    </message>
    <message>
        <source>SMS Report Interval</source>
        <translation>Интервал SMS</translation>
    </message>
    <message>
        <source>min</source>
        <translation>мин</translation>
    </message>
    <message>
        <source>Phone Number</source>
        <translation>Телефон</translation>
    </message>
    <message>
        <source>(Size is 6)</source>
        <translation>(6 цифр)</translation>
    </message>
    <message>
        <source>The tracker keeps no such value.</source>
        <translation>Трекер не хранит это значение.</translation>
    </message>
    <message>
        <source>Phone Number Binding</source>
        <translation>Номера для звонка</translation>
    </message>
    <message>
        <source>SMS  Number Binding</source>
        <translation>Номера для SMS</translation>
    </message>
    <message>
        <source>SOS ShortMessage Content Setting</source>
        <translation>Тексты SMS по кнопкам</translation>
    </message>
    <message>
        <source>Button 1</source>
        <translation>Кнопка 1</translation>
    </message>
    <message>
        <source>Button 2</source>
        <translation>Кнопка 2</translation>
    </message>
    <message>
        <source>Button 3</source>
        <translation>Кнопка 3</translation>
    </message>
    <message>
        <source>Button SOS</source>
        <translation>Тревога</translation>
    </message>
    <message>
        <source>Port</source>
        <translation>Порт</translation>
    </message>
    <message>
        <source>User Name</source>
        <translation>Пользователь</translation>
    </message>
    <message>
        <source>DNS</source>
        <translation>DNS</translation>
    </message>
    <message>
        <source>DNS second</source>
        <translation>Второй DNS</translation>
    </message>
    <message>
        <source>Name</source>
        <translation>Имя</translation>
    </message>
    <message>
        <source>Server IP</source>
        <translation>IP сервера</translation>
    </message>
    <message>
        <source>Sms Number</source>
        <translation>Номер SMS</translation>
    </message>
    <message>
        <source>TCP  transport protocols  setting</source>
        <translation>Передача по TCP</translation>
    </message>
    <message>
        <source>HTTP transport protocols  setting</source>
        <translation>Передача по HTTP</translation>
    </message>
    <message>
        <source>Tracker ID</source>
        <translation>ID трекера</translation>
    </message>
    <message>
        <source>Server Domain</source>
        <translation>Домен сервера</translation>
    </message>
    <message>
        <source>Report Interval</source>
        <translation>Интервал</translation>
    </message>
    <message>
        <source>*10s</source>
        <translation>*10 с</translation>
    </message>
    <message>
        <source>Enable TCP Track</source>
        <translation>Трекинг по TCP</translation>
    </message>
    <message>
        <source>Time Zone Setting</source>
        <translation>Часовой пояс</translation>
    </message>
    <message>
        <source>Overspeed Alarm Setting</source>
        <translation>Превышение скорости</translation>
    </message>
    <message>
        <source>Wiretap Number Setting</source>
        <translation>Номер прослушки</translation>
    </message>
    <message>
        <source>Disable Overspeed Alarm</source>
        <translation>Сигнал выключен</translation>
    </message>
    <message>
        <source>alarm on</source>
        <translation>сигнал включён</translation>
    </message>
    <message>
        <source>Send an SMS location report to the authorised number when it calls the tracker.</source>
        <translation>Включить функцию отправки SMS-отчета о местоположении на авторизованный номер телефона, когда он делает вызов трекера.</translation>
    </message>
    <message>
        <source>Location data in NMEA 0183 GPRMC form instead of the default Navitel format.</source>
        <translation>Данные о местоположении соответствуют протоколу NMEA 0183 GPRMC (по умолчанию формат Навител).</translation>
    </message>
    <message>
        <source>Hang up an incoming call automatically after 4 to 5 rings.</source>
        <translation>Включить функцию автоматического отбоя для входящего вызова через 4-5 гудков.</translation>
    </message>
    <message>
        <source>Send an SMS to the SOS number when the tracker is switched on.</source>
        <translation>Включить функцию отправки SMS на номер SOS, когда включается трекер.</translation>
    </message>
    <message>
        <source>Switch off automatically when the supply voltage is below 3.3 V.</source>
        <translation>Трекер автоматически выключается, когда напряжение питания ниже, чем 3,3V.</translation>
    </message>
    <message>
        <source>Alert by SMS to the SOS number when the tracker enters an area of weak GPS signal.</source>
        <translation>Включить уведомление, когда трекер входит в зону слабого GPS сигнала. SMS должно быть отправлено на номер SOS.</translation>
    </message>
    <message>
        <source>Switch all LEDs off while the tracker works.</source>
        <translation>Все светодиодные индикатоы выключены когда трекер работает.</translation>
    </message>
    <message>
        <source>Alarm on low supply voltage.</source>
        <translation>Включить аварийный сигнал при низком напряжении питания.</translation>
    </message>
    <message>
        <source>Extended settings</source>
        <translation>Расширенные настройки</translation>
    </message>
    <message>
        <source>Save Settings As…</source>
        <translation>Сохранить настройки как…</translation>
    </message>
    <message>
        <source>Open Settings…</source>
        <translation>Открыть настройки…</translation>
    </message>
    <message>
        <source>Compare with Tracker…</source>
        <translation>Сравнить с трекером…</translation>
    </message>
    <message>
        <source>Save Settings As</source>
        <translation>Сохранить настройки как</translation>
    </message>
    <message>
        <source>Open Settings</source>
        <translation>Открыть настройки</translation>
    </message>
    <message>
        <source>Compare with Tracker</source>
        <translation>Сравнение с трекером</translation>
    </message>
    <message>
        <source>No changes</source>
        <translation>Изменений нет</translation>
    </message>
    <message>
        <source>Settings file (*.json)</source>
        <translation>Файл настроек (*.json)</translation>
    </message>
    <message>
        <source>Settings image (*.pelmora-image)</source>
        <translation>Образ настроек (*.pelmora-image)</translation>
    </message>
    <message>
        <source>Settings files (*.json *.pelmora-image)</source>
        <translation>Файлы настроек (*.json *.pelmora-image)</translation>
    </message>
    <message>
        <source>All files (*)</source>
        <translation>Все файлы (*)</translation>
    </message>
    <message>
        <source>This value breaks its rule: Write Settings will not send it.</source>
        <translation>Это значение нарушает своё правило: «Записать» его не отправит.</translation>
    </message>
    <message>
        <source>The tracker sent this value, which breaks its rule: it goes back unchanged unless you change it.</source>
        <translation>Это значение прислал трекер, и оно нарушает своё правило: если его не изменить, оно вернётся в трекер как было.</translation>
    </message>
    <message>
        <source>Page</source>
        <translation>Вкладка</translation>
    </message>
    <message>
        <source>Field</source>
        <translation>Поле</translation>
    </message>
    <message>
        <source>Tracker&apos;s value</source>
        <translation>В трекере</translation>
    </message>
    <message>
        <source>Value to write</source>
        <translation>Будет записано</translation>
    </message>
    <message>
        <source>Fields no page shows that differ as well: %1</source>
        <translation>Поля, которых нет на вкладках, но они тоже отличаются: %1</translation>
    </message>
    <message>
        <source>on</source>
        <translation>вкл.</translation>
    </message>
    <message>
        <source>off</source>
        <translation>выкл.</translation>
    </message>
    <message>
        <source>at most %1 characters</source>
        <translation>не более %1 символов</translation>
    </message>
    <message>
        <source>exactly %1 digits</source>
        <translation>ровно %1 цифр</translation>
    </message>
    <message>
        <source>%1 to %2 digits</source>
        <translation>от %1 до %2 цифр</translation>
    </message>
    <message>
        <source>four numbers 0-255 separated by dots, or empty</source>
        <translation>четыре числа 0–255 через точку или пусто</translation>
    </message>
    <message>
        <source>a port 1-65535, or empty</source>
        <translation>порт 1–65535 или пусто</translation>
    </message>
    <message>
        <source>one of the chooser&apos;s items, %1 to %2</source>
        <translation>один из пунктов списка, от %1 до %2</translation>
    </message>
    <message>
        <source>0 (off) or 1 (on)</source>
        <translation>0 (выкл.) или 1 (вкл.)</translation>
    </message>
    <message>
        <source>a whole number 0-4294967295</source>
        <translation>целое число 0–4294967295</translation>
    </message>
    <message>
        <source>has %1 character</source>
        <translation>символов: %1</translation>
    </message>
    <message>
        <source>has %1 characters</source>
        <translation>символов: %1</translation>
    </message>
    <message>
        <source>holds more than digits</source>
        <translation>содержит не только цифры</translation>
    </message>
    <message>
        <source>has %1 digit</source>
        <translation>цифр: %1</translation>
    </message>
    <message>
        <source>has %1 digits</source>
        <translation>цифр: %1</translation>
    </message>
    <message>
        <source>is not four numbers 0-255 separated by dots</source>
        <translation>не четыре числа 0–255 через точку</translation>
    </message>
    <message>
        <source>is not a port 1-65535</source>
        <translation>не порт 1–65535</translation>
    </message>
    <message>
        <source>is not a number</source>
        <translation>не число</translation>
    </message>
    <message>
        <source>is none of the chooser&apos;s items</source>
        <translation>нет в списке</translation>
    </message>
    <message>
        <source>is neither 0 nor 1</source>
        <translation>не 0 и не 1</translation>
    </message>
    <message>
        <source>is out of range</source>
        <translation>вне допустимых пределов</translation>
    </message>
    <message>
        <source>is not a text</source>
        <translation>не текст</translation>
    </message>
    <message>
        <source>%1; the rule is %2</source>
        <translation>%1; правило: %2</translation>
    </message>
    <message>
        <source>Station</source>
        <translation>Станция</translation>
    </message>
    <message>
        <source>Profile:</source>
        <translation>Профиль:</translation>
    </message>
    <message>
        <source>Values (optional):</source>
        <translation>Значения (необязательно):</translation>
    </message>
    <message>
        <source>Record:</source>
        <translation>Журнал:</translation>
    </message>
    <message>
        <source>Choose Profile</source>
        <translation>Выбор профиля</translation>
    </message>
    <message>
        <source>Choose Values File</source>
        <translation>Выбор файла значений</translation>
    </message>
    <message>
        <source>Choose Record File</source>
        <translation>Выбор файла журнала</translation>
    </message>
    <message>
        <source>CSV files (*.csv)</source>
        <translation>Файлы CSV (*.csv)</translation>
    </message>
    <message>
        <source>Record files (*.jsonl)</source>
        <translation>Файлы журнала (*.jsonl)</translation>
    </message>
    <message>
        <source>Browse…</source>
        <translation>Обзор…</translation>
    </message>
    <message>
        <source>Start</source>
        <translation>Запустить</translation>
    </message>
    <message>
        <source>Stop</source>
        <translation>Остановить</translation>
    </message>
    <message>
        <source>Done: %1</source>
        <translation>Готово: %1</translation>
    </message>
    <message>
        <source>Failed: %1</source>
        <translation>Ошибок: %1</translation>
    </message>
    <message>
        <source>This hour: %1</source>
        <translation>За час: %1</translation>
    </message>
    <message>
        <source>Done earlier: %1</source>
        <translation>Готово ранее: %1</translation>
    </message>
    <message>
        <source>Record: %1</source>
        <translation>Журнал: %1</translation>
    </message>
    <message>
        <source>Choose a profile, then Start.</source>
        <translation>Выберите профиль и нажмите «Запустить».</translation>
    </message>
    <message>
        <source>Running: plug trackers into the station&apos;s ports.</source>
        <translation>Работает: подключайте трекеры к портам станции.</translation>
    </message>
    <message>
        <source>Stopping: the trackers on the line are finished and recorded…</source>
        <translation>Остановка: начатые трекеры дописываются, проверяются и заносятся в журнал…</translation>
    </message>
    <message>
        <source>Stopped.</source>
        <translation>Остановлено.</translation>
    </message>
    <message>
        <source>waiting</source>
        <translation>ожидание</translation>
    </message>
    <message>
        <source>handshake</source>
        <translation>связь</translation>
    </message>
    <message>
        <source>reading</source>
        <translation>чтение</translation>
    </message>
    <message>
        <source>writing</source>
        <translation>запись</translation>
    </message>
    <message>
        <source>verifying</source>
        <translation>проверка</translation>
    </message>
    <message>
        <source>done — unplug</source>
        <translation>готово — отключите</translation>
    </message>
    <message>
        <source>done earlier — unplug</source>
        <translation>готово ранее — отключите</translation>
    </message>
    <message>
        <source>failed</source>
        <translation>ошибка</translation>
    </message>
    <message>
        <source>&amp;File</source>
        <translation>&amp;Файл</translation>
    </message>
    <message>
        <source>&amp;Tracker</source>
        <translation>&amp;Трекер</translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <translation>&amp;Справка</translation>
    </message>
    <message>
        <source>Save Log As…</source>
        <translation>Сохранить журнал как…</translation>
    </message>
    <message>
        <source>Copy Log</source>
        <translation>Копировать журнал</translation>
    </message>
    <message>
        <source>Quit</source>
        <translation>Выход</translation>
    </message>
    <message>
        <source>Save Log As</source>
        <translation>Сохранить журнал как</translation>
    </message>
    <message>
        <source>Log files (*.log *.txt)</source>
        <translation>Файлы журнала (*.log *.txt)</translation>
    </message>
    <message>
        <source>Log saved to %1</source>
        <translation>Журнал сохранён в %1</translation>
    </message>
    <message>
        <source>1 change</source>
        <translation>1 изменение</translation>
    </message>
    <message>
        <source>%1 changes</source>
        <translation>Изменений: %1</translation>
    </message>
    <message>
        <source>Discard your change and read the tracker again?</source>
        <translation>Отменить ваше изменение и прочитать трекер заново?</translation>
    </message>
    <message>
        <source>Discard your %1 changes and read the tracker again?</source>
        <translation>Отменить ваши изменения (%1) и прочитать трекер заново?</translation>
    </message>
    <message>
        <source>Discard your change and open a settings file?</source>
        <translation>Отменить ваше изменение и открыть файл настроек?</translation>
    </message>
    <message>
        <source>Discard your %1 changes and open a settings file?</source>
        <translation>Отменить ваши изменения (%1) и открыть файл настроек?</translation>
    </message>
    <message>
        <source>Your change was not written to the tracker. Save it to a settings file before closing?</source>
        <translation>Ваше изменение не записано в трекер. Сохранить его в файл настроек перед закрытием?</translation>
    </message>
    <message>
        <source>Your %1 changes were not written to the tracker. Save them to a settings file before closing?</source>
        <translation>Ваши изменения (%1) не записаны в трекер. Сохранить их в файл настроек перед закрытием?</translation>
    </message>
    <message>
        <source>Plug the tracker in and press Scan Ports</source>
        <translation>Подключите трекер и нажмите «Поиск портов»</translation>
    </message>
    <message>
        <source>Demo: the simulated tracker is on COM%1; press Read Settings</source>
        <translation>Демонстрация: имитация трекера на COM%1; нажмите «Прочитать»</translation>
    </message>
    <message>
        <source>Open  port %1 sucessfully</source>
        <translation>Порт %1 открыт</translation>
    </message>
    <message>
        <source>Fail to open port %1</source>
        <translation>Не удалось открыть порт %1</translation>
    </message>
    <message>
        <source>Scan port %1 ...</source>
        <translation>Проверка порта %1…</translation>
    </message>
    <message>
        <source>Tracker is on port %1</source>
        <translation>Трекер на порту %1</translation>
    </message>
    <message>
        <source>Device on port %1 disconnected!</source>
        <translation>Устройство на порту %1 отключено!</translation>
    </message>
    <message>
        <source>Tracker is on line</source>
        <translation>Трекер на связи</translation>
    </message>
    <message>
        <source>Tracker is off line</source>
        <translation>Трекер не на связи</translation>
    </message>
    <message>
        <source>Tracker is off line </source>
        <translation>Трекер не на связи</translation>
    </message>
    <message>
        <source>Send command time out!</source>
        <translation>Истекло время ожидания ответа!</translation>
    </message>
    <message>
        <source>Get Tracker&apos;s setting ok!</source>
        <translation>Настройки трекера получены</translation>
    </message>
    <message>
        <source>Read Setting ...</source>
        <translation>Чтение настроек…</translation>
    </message>
    <message>
        <source>Write Setting ...</source>
        <translation>Запись настроек…</translation>
    </message>
    <message>
        <source>Write setting to tracker ok!</source>
        <translation>Настройки записаны в трекер</translation>
    </message>
    <message>
        <source>Fail to write setting to tracker!</source>
        <translation>Не удалось записать настройки в трекер!</translation>
    </message>
    <message>
        <source>Read settings: no tracker has answered on this port, nothing sent</source>
        <translation>Чтение: трекер на этом порту не ответил, ничего не отправлено</translation>
    </message>
    <message>
        <source>Write settings: no tracker has answered on this port, nothing sent</source>
        <translation>Запись: трекер на этом порту не ответил, ничего не отправлено</translation>
    </message>
    <message>
        <source>Read settings: no reply from the tracker</source>
        <translation>Чтение: трекер не ответил</translation>
    </message>
    <message>
        <source>Write settings: no reply from the tracker</source>
        <translation>Запись: трекер не ответил</translation>
    </message>
    <message>
        <source>Read settings: reply ignored, no read was waiting for one</source>
        <translation>Чтение: ответ пропущен, чтения никто не ждал</translation>
    </message>
    <message>
        <source>Write settings: reply ignored, no write was waiting for one</source>
        <translation>Запись: ответ пропущен, записи никто не ждал</translation>
    </message>
    <message>
        <source>Read settings: the port did not take the request, nothing asked</source>
        <translation>Чтение: порт не принял запрос, ничего не запрошено</translation>
    </message>
    <message>
        <source>Write settings: the port did not take the whole request, nothing written</source>
        <translation>Запись: порт не принял запрос целиком, ничего не записано</translation>
    </message>
    <message>
        <source>No tracker settings loaded: read the tracker first</source>
        <translation>Настройки трекера не загружены: сначала прочитайте трекер</translation>
    </message>
    <message>
        <source>Verified: 1 field changed as intended</source>
        <translation>Проверено: 1 поле изменено, как задумано</translation>
    </message>
    <message>
        <source>Verified: %1 fields changed as intended</source>
        <translation>Проверено: изменено полей, как задумано: %1</translation>
    </message>
    <message>
        <source>Verify failed: the settings could not be read back</source>
        <translation>Проверка не удалась: настройки не удалось прочитать обратно</translation>
    </message>
    <message>
        <source>COM%1 is not a port that can be opened; the ports start at COM%2.</source>
        <translation>COM%1 нельзя открыть: порты начинаются с COM%2.</translation>
    </message>
    <message>
        <source>COM%1 is busy: it is in use by another program.</source>
        <translation>COM%1 занят: его использует другая программа.</translation>
    </message>
    <message>
        <source>No device is mapped to COM%1.</source>
        <translation>С COM%1 не связано ни одно устройство.</translation>
    </message>
    <message>
        <source>Permission denied on COM%1: add your user to the dialout group, then log in again.</source>
        <translation>Нет доступа к COM%1: добавьте пользователя в группу dialout и войдите снова.</translation>
    </message>
    <message>
        <source>The device of COM%1 is not a serial device.</source>
        <translation>Устройство COM%1 не является последовательным портом.</translation>
    </message>
    <message>
        <source>10Km/h</source>
        <translation>10 км/ч</translation>
    </message>
    <message>
        <source>20Km/h</source>
        <translation>20 км/ч</translation>
    </message>
    <message>
        <source>30Km/h</source>
        <translation>30 км/ч</translation>
    </message>
    <message>
        <source>40Km/h</source>
        <translation>40 км/ч</translation>
    </message>
    <message>
        <source>50Km/h</source>
        <translation>50 км/ч</translation>
    </message>
    <message>
        <source>60Km/h</source>
        <translation>60 км/ч</translation>
    </message>
    <message>
        <source>70Km/h</source>
        <translation>70 км/ч</translation>
    </message>
    <message>
        <source>80Km/h</source>
        <translation>80 км/ч</translation>
    </message>
    <message>
        <source>90Km/h</source>
        <translation>90 км/ч</translation>
    </message>
    <message>
        <source>100Km/h</source>
        <translation>100 км/ч</translation>
    </message>
    <message>
        <source>110Km/h</source>
        <translation>110 км/ч</translation>
    </message>
    <message>
        <source>120Km/h</source>
        <translation>120 км/ч</translation>
    </message>
    <message>
        <source>130Km/h</source>
        <translation>130 км/ч</translation>
    </message>
    <message>
        <source>140Km/h</source>
        <translation>140 км/ч</translation>
    </message>
    <message>
        <source>150Km/h</source>
        <translation>150 км/ч</translation>
    </message>
    <message>
        <source>160Km/h</source>
        <translation>160 км/ч</translation>
    </message>
    <message>
        <source>170Km/h</source>
        <translation>170 км/ч</translation>
    </message>
    <message>
        <source>180Km/h</source>
        <translation>180 км/ч</translation>
    </message>
    <message>
        <source>190Km/h</source>
        <translation>190 км/ч</translation>
    </message>
    <message>
        <source>200Km/h</source>
        <translation>200 км/ч</translation>
    </message>
    <message>
        <source>Restore Earlier Settings…</source>
        <translation>Восстановить прежние настройки…</translation>
    </message>
    <message>
        <source>Station…</source>
        <translation>Станция…</translation>
    </message>
    <message>
        <source>Restore Earlier Settings</source>
        <translation>Восстановить прежние настройки</translation>
    </message>
    <message>
        <source>Settings kept before each write, newest first:</source>
        <translation>Настройки, сохранённые перед каждой записью, сначала новые:</translation>
    </message>
    <message>
        <source>The demo keeps no earlier settings</source>
        <translation>В демонстрации прежние настройки не сохраняются</translation>
    </message>
    <message>
        <source>No earlier settings are kept for this tracker</source>
        <translation>Для этого трекера прежние настройки не сохранены</translation>
    </message>
    <message>
        <source>On Windows the station runs in a console: pelmora-cli station PROFILE --values FILE (see pelmora-cli station --help).</source>
        <translation>В Windows станция работает в консоли: pelmora-cli station ПРОФИЛЬ --values ФАЙЛ (см. pelmora-cli station --help).</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Отмена</translation>
    </message>
    <message>
        <source>Трекер автоматически выключается, когда напряжение питания ниже, чем 3,3V.</source>
        <translation>Трекер автоматически выключается, когда напряжение питания ниже, чем 3,3 В.</translation>
    </message>
</context>
</TS>
