<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_GB" sourcelanguage="en">
<context>
    <name>Pelmora</name>
    <message>
        <source>Включить функцию отправки SMS-отчета о местоположении на авторизованный номер телефона, когда он делает вызов трекера.</source>
        <translation>Send an SMS location report to the authorised number when it calls the tracker.</translation>
    </message>
    <message>
        <source>Данные о местоположении соответствуют протоколу NMEA 0183 GPRMC (по умолчанию формат Навител).</source>
        <translation>Location data in NMEA 0183 GPRMC form instead of the default Navitel format.</translation>
    </message>
    <message>
        <source>Включить функцию автоматического отбоя для входящего вызова через 4-5 гудков.</source>
        <translation>Hang up an incoming call automatically after 4 to 5 rings.</translation>
    </message>
    <message>
        <source>Включить функцию отправки SMS на номер SOS, когда включается трекер.</source>
        <translation>Send an SMS to the SOS number when the tracker is switched on.</translation>
    </message>
    <message>
        <source>Трекер автоматически выключается, когда напряжение питания ниже, чем 3,3V.</source>
        <translation>Switch off automatically when the supply voltage is below 3.3 V.</translation>
    </message>
    <message>
        <source>Включить уведомление, когда трекер входит в зону слабого GPS сигнала. SMS должно быть отправлено на номер SOS.</source>
        <translation>Alert by SMS to the SOS number when the tracker enters an area of weak GPS signal.</translation>
    </message>
    <message>
        <source>Все светодиодные индикатоы выключены когда трекер работает.</source>
        <translation>Switch all LEDs off while the tracker works.</translation>
    </message>
    <message>
        <source>Включить аварийный сигнал при низком напряжении питания.</source>
        <translation>Alarm on low supply voltage.</translation>
    </message>
    <message>
        <source>Расширенные настройки</source>
        <translation>Extended settings</translation>
    </message>
    <message>
        <source>This value breaks its rule: Write Settings will not send it.</source>
        <translation>This value breaks its rule: Write Settings will not send it.</translation>
    </message>
    <message>
        <source>The tracker sent this value, which breaks its rule: it goes back unchanged unless you change it.</source>
        <translation>The tracker sent this value, which breaks its rule: it goes back unchanged unless you change it.</translation>
    </message>
    <message>
        <source>Page</source>
        <translation>Page</translation>
    </message>
    <message>
        <source>Field</source>
        <translation>Field</translation>
    </message>
    <message>
        <source>Tracker&apos;s value</source>
        <translation>Tracker&apos;s value</translation>
    </message>
    <message>
        <source>Value to write</source>
        <translation>Value to write</translation>
    </message>
    <message>
        <source>Fields no page shows that differ as well: %1</source>
        <translation>Fields no page shows that differ as well: %1</translation>
    </message>
    <message>
        <source>alarm on</source>
        <translation>alarm on</translation>
    </message>
    <message>
        <source>on</source>
        <translation>on</translation>
    </message>
    <message>
        <source>off</source>
        <translation>off</translation>
    </message>
</context>
</TS>
