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
        <source>Pelmora, Version 1.0</source>
        <translation>Pelmora, версия 1.0</translation>
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
</context>
</TS>
