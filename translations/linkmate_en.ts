<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US">
<context>
    <name>BitTiming</name>
    <message>
        <source>%1 kbit/s, sample point %2 %, %3 quanta, SJW %4</source>
        <translation>%1 kbit/s, sample point %2 %, %3 quanta, SJW %4</translation>
    </message>
    <message>
        <source>, triple sampling</source>
        <translation>, triple sampling</translation>
    </message>
    <message>
        <source>SJW %1 is longer than TSEG2 %2</source>
        <translation>SJW %1 is longer than TSEG2 %2</translation>
    </message>
    <message>
        <source>TSEG2 %1 is longer than TSEG1 %2</source>
        <translation>TSEG2 %1 is longer than TSEG1 %2</translation>
    </message>
    <message>
        <source>sample point %1 % is below 50 %</source>
        <translation>sample point %1 % is below 50 %</translation>
    </message>
    <message>
        <source>%1 quanta per bit, fewer than 8</source>
        <translation>%1 quanta per bit, fewer than 8</translation>
    </message>
    <message>
        <source>Warning: %1</source>
        <translation>Warning: %1</translation>
    </message>
</context>
<context>
    <name>CBitTimingDlg</name>
    <message>
        <source>&amp;Use</source>
        <translation>&amp;Use</translation>
    </message>
    <message>
        <source>Bit timing calculator</source>
        <translation>Bit timing calculator</translation>
    </message>
    <message>
        <source>&amp;Bit rate:</source>
        <translation>&amp;Bit rate:</translation>
    </message>
    <message>
        <source>&amp;Sample point (%):</source>
        <translation>&amp;Sample point (%):</translation>
    </message>
    <message>
        <source>Bit rate (kbit/s)</source>
        <translation>Bit rate (kbit/s)</translation>
    </message>
    <message>
        <source>Error</source>
        <translation>Error</translation>
    </message>
    <message>
        <source>Sample point</source>
        <translation>Sample point</translation>
    </message>
    <message>
        <source>Quanta</source>
        <translation>Quanta</translation>
    </message>
    <message>
        <source>&amp;Register pairs</source>
        <translation>&amp;Register pairs</translation>
    </message>
    <message>
        <source>Controller clock 16 MHz (SJA1000 registers). Nothing is sent until Write.</source>
        <translation>Controller clock 16 MHz (SJA1000 registers). Nothing is sent until Write.</translation>
    </message>
    <message>
        <source>&amp;Calculate</source>
        <translation>&amp;Calculate</translation>
    </message>
    <message>
        <source>Type a bit rate such as 83333, 83.333k, 500K or 1M.</source>
        <translation>Type a bit rate such as 83333, 83.333k, 500K or 1M.</translation>
    </message>
    <message>
        <source>No pair reaches %1 kbit/s within 1 %.</source>
        <translation>No pair reaches %1 kbit/s within 1 %.</translation>
    </message>
    <message>
        <source>Best first, for a sample point of %1 %. Choose one and press Use.</source>
        <translation>Best first, for a sample point of %1 %. Choose one and press Use.</translation>
    </message>
    <message>
        <source>Type a sample point between 50 and 95 %, such as 87.5, 0.875 or 875, or leave it empty.</source>
        <translation>Type a sample point between 50 and 95 %, such as 87.5, 0.875 or 875, or leave it empty.</translation>
    </message>
    <message>
        <source>SocketCAN:</source>
        <translation>SocketCAN:</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Close</translation>
    </message>
</context>
<context>
    <name>CCanPage</name>
    <message>
        <source>Identifier(Tx)</source>
        <translation>Identifier(Tx)</translation>
    </message>
    <message>
        <source>Acceptance Code</source>
        <translation>Acceptance Code</translation>
    </message>
    <message>
        <source>Acceptance Code, first filter</source>
        <translation>Acceptance Code, first filter</translation>
    </message>
    <message>
        <source>Acceptance Code, second filter</source>
        <translation>Acceptance Code, second filter</translation>
    </message>
    <message>
        <source>Acceptance Mask</source>
        <translation>Acceptance Mask</translation>
    </message>
    <message>
        <source>Acceptance Mask, first filter</source>
        <translation>Acceptance Mask, first filter</translation>
    </message>
    <message>
        <source>Acceptance Mask, second filter</source>
        <translation>Acceptance Mask, second filter</translation>
    </message>
    <message>
        <source>Custom: the bit timing as typed in BTR0/BTR1</source>
        <translation>Custom: the bit timing as typed in BTR0/BTR1</translation>
    </message>
    <message>
        <source>BTR0 and BTR1: two hex bytes of the bit timing (16 MHz controller clock)</source>
        <translation>BTR0 and BTR1: two hex bytes of the bit timing (16 MHz controller clock)</translation>
    </message>
    <message>
        <source>The mask rule replaced &quot;%1&quot; here.</source>
        <translation>The mask rule replaced &quot;%1&quot; here.</translation>
    </message>
</context>
<context>
    <name>CFindConverterDlg</name>
    <message>
        <source>Find converter</source>
        <translation>Find converter</translation>
    </message>
    <message>
        <source>&amp;Converters on COM1 to COM8:</source>
        <translation>&amp;Converters on COM1 to COM8:</translation>
    </message>
    <message>
        <source>Device</source>
        <translation>Device</translation>
    </message>
    <message>
        <source>Model</source>
        <translation>Model</translation>
    </message>
    <message>
        <source>Configuration</source>
        <translation>Configuration</translation>
    </message>
    <message>
        <source>&amp;Search again</source>
        <translation>&amp;Search again</translation>
    </message>
    <message>
        <source>&amp;Use</source>
        <translation>&amp;Use</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>Asking every port at 57600 and at 19200 bit/s; only the read request is sent.</source>
        <translation>Asking every port at 57600 and at 19200 bit/s; only the read request is sent.</translation>
    </message>
    <message>
        <source>held by %1</source>
        <translation>held by %1</translation>
    </message>
    <message>
        <source>No converter answered at 57600 or 19200 bit/s. Check the wiring, the converter&apos;s power and the Ports dialog.</source>
        <translation>No converter answered at 57600 or 19200 bit/s. Check the wiring, the converter&apos;s power and the Ports dialog.</translation>
    </message>
    <message>
        <source>%1 converter(s) found in %2 ms. Choose one and press Use.</source>
        <translation>%1 converter(s) found in %2 ms. Choose one and press Use.</translation>
    </message>
    <message>
        <source>the server&apos;s line settings (raw TCP)</source>
        <translation>the server&apos;s line settings (raw TCP)</translation>
    </message>
    <message>
        <source>no answer</source>
        <translation>no answer</translation>
    </message>
    <message>
        <source>at 57600 or 19200 bit/s</source>
        <translation>at 57600 or 19200 bit/s</translation>
    </message>
    <message>
        <source>held by another program</source>
        <translation>held by another program</translation>
    </message>
    <message>
        <source>absent</source>
        <translation>absent</translation>
    </message>
    <message>
        <source>not opened</source>
        <translation>not opened</translation>
    </message>
</context>
<context>
    <name>CLINKMATESheet</name>
    <message>
        <source>LINKMATE configuration (*.reg);;All files (*)</source>
        <translation>LINKMATE configuration (*.reg);;All files (*)</translation>
    </message>
    <message>
        <source>&amp;Default</source>
        <translation>&amp;Default</translation>
    </message>
    <message>
        <source>&amp;Read</source>
        <translation>&amp;Read</translation>
    </message>
    <message>
        <source>&amp;Write</source>
        <translation>&amp;Write</translation>
    </message>
    <message>
        <source>Type one byte as two hex digits (for example 1C).</source>
        <translation>Type one byte as two hex digits (for example 1C).</translation>
    </message>
    <message>
        <source>Type up to %1 bytes as pairs of hex digits separated by blanks, most significant first (for example %2).</source>
        <translation>Type up to %1 bytes as pairs of hex digits separated by blanks, most significant first (for example %2).</translation>
    </message>
    <message>
        <source>%1: &quot;%2&quot; is not hexadecimal byte text.

%3 Nothing was sent.</source>
        <translation>%1: &quot;%2&quot; is not hexadecimal byte text.

%3 Nothing was sent.</translation>
    </message>
    <message>
        <source>The converter cannot hold these values as the page shows them:</source>
        <translation>The converter cannot hold these values as the page shows them:</translation>
    </message>
    <message>
        <source>%1: you typed &quot;%2&quot; (read as %3); the converter will hold %4.</source>
        <translation>%1: you typed &quot;%2&quot; (read as %3); the converter will hold %4.</translation>
    </message>
    <message>
        <source>%1: you typed &quot;%2&quot;; the converter will hold %3.</source>
        <translation>%1: you typed &quot;%2&quot;; the converter will hold %3.</translation>
    </message>
    <message>
        <source>Write anyway?</source>
        <translation>Write anyway?</translation>
    </message>
    <message>
        <source>Read Configration Successfully!</source>
        <translation>Read Configration Successfully!</translation>
    </message>
    <message>
        <source>Write Configration Successfully!</source>
        <translation>Write Configration Successfully!</translation>
    </message>
    <message>
        <source>Communication Error!</source>
        <translation>Communication Error!</translation>
    </message>
    <message>
        <source>The settings could not be saved in the profile, so the next start will not show them: %1.</source>
        <translation>The settings could not be saved in the profile, so the next start will not show them: %1.</translation>
    </message>
    <message>
        <source>The serial port could not be closed cleanly: %1</source>
        <translation>The serial port could not be closed cleanly: %1</translation>
    </message>
    <message>
        <source>Invalid serial port!</source>
        <translation>Invalid serial port!</translation>
    </message>
    <message>
        <source>&amp;Open configuration...</source>
        <translation>&amp;Open configuration...</translation>
    </message>
    <message>
        <source>&amp;Save configuration...</source>
        <translation>&amp;Save configuration...</translation>
    </message>
    <message>
        <source>&amp;Ports...</source>
        <translation>&amp;Ports...</translation>
    </message>
    <message>
        <source>&amp;Bit timing calculator...</source>
        <translation>&amp;Bit timing calculator...</translation>
    </message>
    <message>
        <source>Save configuration</source>
        <translation>Save configuration</translation>
    </message>
    <message>
        <source>The configuration could not be saved: %1.</source>
        <translation>The configuration could not be saved: %1.</translation>
    </message>
    <message>
        <source>Open configuration</source>
        <translation>Open configuration</translation>
    </message>
    <message>
        <source>The configuration could not be opened: %1.</source>
        <translation>The configuration could not be opened: %1.</translation>
    </message>
    <message>
        <source>Read cancelled: the pages and the profile are unchanged.</source>
        <translation>Read cancelled: the pages and the profile are unchanged.</translation>
    </message>
    <message>
        <source>Write cancelled: nothing was saved; the converter may hold what was sent.</source>
        <translation>Write cancelled: nothing was saved; the converter may hold what was sent.</translation>
    </message>
    <message>
        <source>Communication error: %1</source>
        <translation>Communication error: %1</translation>
    </message>
    <message>
        <source>The mask rule replaced %1 &quot;%2&quot; with %3.</source>
        <translation>The mask rule replaced %1 &quot;%2&quot; with %3.</translation>
    </message>
    <message>
        <source>The adapter of COM%1 was unplugged.</source>
        <translation>The adapter of COM%1 was unplugged.</translation>
    </message>
    <message>
        <source>The converter may have taken the new values: press Read to see what it holds.</source>
        <translation>The converter may have taken the new values: press Read to see what it holds.</translation>
    </message>
    <message>
        <source>Reading the configuration: request %1, %2 s</source>
        <translation>Reading the configuration: request %1, %2 s</translation>
    </message>
    <message>
        <source>Writing the configuration and reading it back: request %1, %2 s</source>
        <translation>Writing the configuration and reading it back: request %1, %2 s</translation>
    </message>
    <message>
        <source>&amp;Find converter...</source>
        <translation>&amp;Find converter...</translation>
    </message>
    <message>
        <source>Standard frames carry 11-bit identifiers (at most %1, or %2 in a dual filter), extended frames 29-bit ones (at most %3).</source>
        <translation>Standard frames carry 11-bit identifiers (at most %1, or %2 in a dual filter), extended frames 29-bit ones (at most %3).</translation>
    </message>
    <message>
        <source>Use %1</source>
        <translation>Use %1</translation>
    </message>
    <message>
        <source>Connected to the converter found on COM%1.</source>
        <translation>Connected to the converter found on COM%1.</translation>
    </message>
    <message>
        <source>Connected to COM%1 again after the search.</source>
        <translation>Connected to COM%1 again after the search.</translation>
    </message>
    <message>
        <source>The converter on COM%1 is chosen: press Connect.</source>
        <translation>The converter on COM%1 is chosen: press Connect.</translation>
    </message>
    <message>
        <source>COM%1: %2.</source>
        <translation>COM%1: %2.</translation>
    </message>
    <message>
        <source>Default</source>
        <translation>Default</translation>
    </message>
    <message>
        <source>Open</source>
        <translation>Open</translation>
    </message>
    <message>
        <source>the bit timing</source>
        <translation>the bit timing</translation>
    </message>
    <message>
        <source>Undo</source>
        <translation>Undo</translation>
    </message>
    <message>
        <source>Default replaced every page; Undo (Ctrl+Z) brings back what they showed.</source>
        <translation>Default replaced every page; Undo (Ctrl+Z) brings back what they showed.</translation>
    </message>
    <message>
        <source>Undo %1 (%2)</source>
        <translation>Undo %1 (%2)</translation>
    </message>
    <message>
        <source>Undone: the pages show again what they showed before %1.</source>
        <translation>Undone: the pages show again what they showed before %1.</translation>
    </message>
    <message>
        <source>%1 events in this run; Show Details lists them with their times.</source>
        <translation>%1 events in this run; Show Details lists them with their times.</translation>
    </message>
    <message>
        <source>unknown</source>
        <translation>unknown</translation>
    </message>
    <message>
        <source>Program: %1 %2 on %3</source>
        <translation>Program: %1 %2 on %3</translation>
    </message>
    <message>
        <source>Started: %1</source>
        <translation>Started: %1</translation>
    </message>
    <message>
        <source>Port: %1, device %2</source>
        <translation>Port: %1, device %2</translation>
    </message>
    <message>
        <source>Model: %1 at %2 bit/s</source>
        <translation>Model: %1 at %2 bit/s</translation>
    </message>
    <message>
        <source>Asked again at %1 bit/s (%2): a converter answered</source>
        <translation>Asked again at %1 bit/s (%2): a converter answered</translation>
    </message>
    <message>
        <source>Asked again at %1 bit/s (%2): no answer</source>
        <translation>Asked again at %1 bit/s (%2): no answer</translation>
    </message>
    <message>
        <source>The converter answered, but it holds other values than you wrote.</source>
        <translation>The converter answered, but it holds other values than you wrote.</translation>
    </message>
    <message>
        <source>Event &amp;log...</source>
        <translation>Event &amp;log...</translation>
    </message>
    <message>
        <source>&amp;Cancel</source>
        <translation>&amp;Cancel</translation>
    </message>
    <message>
        <source>No failure has been reported in this run.</source>
        <translation>No failure has been reported in this run.</translation>
    </message>
    <message>
        <source>Save report</source>
        <translation>Save report</translation>
    </message>
    <message>
        <source>Text files (*.txt);;All files (*)</source>
        <translation>Text files (*.txt);;All files (*)</translation>
    </message>
    <message>
        <source>The report could not be saved: %1.</source>
        <translation>The report could not be saved: %1.</translation>
    </message>
    <message>
        <source>Save &amp;report...</source>
        <translation>Save &amp;report...</translation>
    </message>
</context>
<context>
    <name>CMessageBox</name>
    <message>
        <source>Show Details...</source>
        <translation>Show Details...</translation>
    </message>
    <message>
        <source>Hide Details...</source>
        <translation>Hide Details...</translation>
    </message>
    <message>
        <source>&amp;Copy</source>
        <translation>&amp;Copy</translation>
    </message>
    <message>
        <source>&amp;Yes</source>
        <translation>&amp;Yes</translation>
    </message>
    <message>
        <source>&amp;No</source>
        <translation>&amp;No</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
</context>
<context>
    <name>CPortMapDlg</name>
    <message>
        <source>&amp;Assign to selected COM</source>
        <translation>&amp;Assign to selected COM</translation>
    </message>
    <message>
        <source>&amp;Free selected COM</source>
        <translation>&amp;Free selected COM</translation>
    </message>
    <message>
        <source>Ports</source>
        <translation>Ports</translation>
    </message>
    <message>
        <source>Device</source>
        <translation>Device</translation>
    </message>
    <message>
        <source>What it is</source>
        <translation>What it is</translation>
    </message>
    <message>
        <source>Serial &amp;devices on this machine:</source>
        <translation>Serial &amp;devices on this machine:</translation>
    </message>
    <message>
        <source>&amp;COM ports (changes take effect at the next Connect):</source>
        <translation>&amp;COM ports (changes take effect at the next Connect):</translation>
    </message>
    <message>
        <source>&amp;Refresh</source>
        <translation>&amp;Refresh</translation>
    </message>
    <message>
        <source>(no serial device found)</source>
        <translation>(no serial device found)</translation>
    </message>
    <message>
        <source>COM%1 is now %2.</source>
        <translation>COM%1 is now %2.</translation>
    </message>
    <message>
        <source>COM%1 is free.</source>
        <translation>COM%1 is free.</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>Choose the COM number first.</source>
        <translation>Choose the COM number first.</translation>
    </message>
    <message>
        <source>Or a serial device ser&amp;ver&apos;s port (rfc2217://HOST:PORT or socket://HOST:PORT):</source>
        <translation>Or a serial device ser&amp;ver&apos;s port (rfc2217://HOST:PORT or socket://HOST:PORT):</translation>
    </message>
    <message>
        <source>Assi&amp;gn server to selected COM</source>
        <translation>Assi&amp;gn server to selected COM</translation>
    </message>
</context>
<context>
    <name>CPropertySheet</name>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>&amp;Apply</source>
        <translation>&amp;Apply</translation>
    </message>
    <message>
        <source>Help</source>
        <translation>Help</translation>
    </message>
</context>
<context>
    <name>ConfigFile</name>
    <message>
        <source>%1: larger than 1 MiB, not a configuration file</source>
        <translation>%1: larger than 1 MiB, not a configuration file</translation>
    </message>
    <message>
        <source>%1: not readable as text</source>
        <translation>%1: not readable as text</translation>
    </message>
    <message>
        <source>%1:%2: cannot be read: %3</source>
        <translation>%1:%2: cannot be read: %3</translation>
    </message>
    <message>
        <source>%1: no [..\LINKMATE] section</source>
        <translation>%1: no [..\LINKMATE] section</translation>
    </message>
    <message>
        <source>&quot;%1&quot; must be a text value</source>
        <translation>&quot;%1&quot; must be a text value</translation>
    </message>
    <message>
        <source>&quot;%1&quot; must be a dword value</source>
        <translation>&quot;%1&quot; must be a dword value</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is not a setting; the settings are: %2</source>
        <translation>&quot;%1&quot; is not a setting; the settings are: %2</translation>
    </message>
    <message>
        <source>%1: settings missing: %2 (to change only the settings a file has, write it with --partial)</source>
        <translation>%1: settings missing: %2 (to change only the settings a file has, write it with --partial)</translation>
    </message>
    <message>
        <source>%1: no settings in it, nothing to export</source>
        <translation>%1: no settings in it, nothing to export</translation>
    </message>
    <message>
        <source>standard input</source>
        <translation>standard input</translation>
    </message>
    <message>
        <source>%1: a folder, not a file</source>
        <translation>%1: a folder, not a file</translation>
    </message>
    <message>
        <source>%1: not a regular file</source>
        <translation>%1: not a regular file</translation>
    </message>
</context>
<context>
    <name>ConverterFinder</name>
    <message>
        <source>A converter answered at %1 bit/s: choose %2.</source>
        <translation>A converter answered at %1 bit/s: choose %2.</translation>
    </message>
    <message>
        <source>serial %1 bit/s %2, CAN %3 %4, %5</source>
        <translation>serial %1 bit/s %2, CAN %3 %4, %5</translation>
    </message>
</context>
<context>
    <name>DataExchange</name>
    <message>
        <source>Please enter an integer.</source>
        <translation>Please enter an integer.</translation>
    </message>
</context>
<context>
    <name>ExchangeTrace</name>
    <message>
        <source>answered</source>
        <translation>answered</translation>
    </message>
    <message>
        <source>no answer within the time-out</source>
        <translation>no answer within the time-out</translation>
    </message>
    <message>
        <source>wrong header</source>
        <translation>wrong header</translation>
    </message>
    <message>
        <source>wrong command or length</source>
        <translation>wrong command or length</translation>
    </message>
    <message>
        <source>short frame</source>
        <translation>short frame</translation>
    </message>
    <message>
        <source>wrong check byte</source>
        <translation>wrong check byte</translation>
    </message>
    <message>
        <source>wrong acknowledgement</source>
        <translation>wrong acknowledgement</translation>
    </message>
    <message>
        <source>The converter answered only after a time-out: it is busy, or the line is slow.</source>
        <translation>The converter answered only after a time-out: it is busy, or the line is slow.</translation>
    </message>
    <message>
        <source>No answer at all: check the wiring, the converter&apos;s power and that this is the right port.</source>
        <translation>No answer at all: check the wiring, the converter&apos;s power and that this is the right port.</translation>
    </message>
    <message>
        <source>A reply arrived with a wrong check byte: noise on the line.</source>
        <translation>A reply arrived with a wrong check byte: noise on the line.</translation>
    </message>
    <message>
        <source>Answers arrive after the time-out: the converter is busy, or the line is slow.</source>
        <translation>Answers arrive after the time-out: the converter is busy, or the line is slow.</translation>
    </message>
    <message>
        <source>The reply stopped short: bytes were lost on the line.</source>
        <translation>The reply stopped short: bytes were lost on the line.</translation>
    </message>
    <message>
        <source>A frame arrived with the wrong command or length: another device, or a converter in another mode, is answering.</source>
        <translation>A frame arrived with the wrong command or length: another device, or a converter in another mode, is answering.</translation>
    </message>
    <message>
        <source>Bytes arrived but never formed a reply: check the converter model (the bit rate: Ternix-A 57600, Ternix-B 19200 bit/s), or the RS-485 wires A and B may be swapped.</source>
        <translation>Bytes arrived but never formed a reply: check the converter model (the bit rate: Ternix-A 57600, Ternix-B 19200 bit/s), or the RS-485 wires A and B may be swapped.</translation>
    </message>
    <message>
        <source>read</source>
        <translation>read</translation>
    </message>
    <message>
        <source>write</source>
        <translation>write</translation>
    </message>
    <message>
        <source>%1, attempt %2: sent %3</source>
        <translation>%1, attempt %2: sent %3</translation>
    </message>
    <message>
        <source>ended: %1</source>
        <translation>ended: %1</translation>
    </message>
    <message>
        <source>a value outside its list: not a converter&apos;s reply</source>
        <translation>a value outside its list: not a converter&apos;s reply</translation>
    </message>
    <message>
        <source>only the echo of our own bytes</source>
        <translation>only the echo of our own bytes</translation>
    </message>
    <message>
        <source>differs from the earlier reply</source>
        <translation>differs from the earlier reply</translation>
    </message>
    <message>
        <source>the device was removed</source>
        <translation>the device was removed</translation>
    </message>
    <message>
        <source>The device was removed: the adapter was unplugged or its driver went away. Plug it in again and connect.</source>
        <translation>The device was removed: the adapter was unplugged or its driver went away. Plug it in again and connect.</translation>
    </message>
    <message>
        <source>Only the echo of our own bytes came back: the RS-485 adapter returns what it sends, but the converter does not answer. Check the wires A and B, the converter&apos;s power and the model.</source>
        <translation>Only the echo of our own bytes came back: the RS-485 adapter returns what it sends, but the converter does not answer. Check the wires A and B, the converter&apos;s power and the model.</translation>
    </message>
    <message>
        <source>The replies differ: the line is noisy. Nothing was taken from them.</source>
        <translation>The replies differ: the line is noisy. Nothing was taken from them.</translation>
    </message>
    <message>
        <source>the first %1 bytes: echo of our own bytes, skipped</source>
        <translation>the first %1 bytes: echo of our own bytes, skipped</translation>
    </message>
    <message>
        <source>The converter answers slowly: its reply was still arriving, byte by byte, when the time for it ran out. Nothing was lost on the line.</source>
        <translation>The converter answers slowly: its reply was still arriving, byte by byte, when the time for it ran out. Nothing was lost on the line.</translation>
    </message>
    <message>
        <source>The converter holds a value outside its list (its check byte is right): write a good configuration (write a file, or default) to put it right.</source>
        <translation>The converter holds a value outside its list (its check byte is right): write a good configuration (write a file, or default) to put it right.</translation>
    </message>
    <message>
        <source>asked at %1 bit/s: sent %2</source>
        <translation>asked at %1 bit/s: sent %2</translation>
    </message>
</context>
<context>
    <name>HeldDifferences</name>
    <message>
        <source>ticked</source>
        <translation>ticked</translation>
    </message>
    <message>
        <source>not ticked</source>
        <translation>not ticked</translation>
    </message>
    <message>
        <source>%1 page, %2</source>
        <translation>%1 page, %2</translation>
    </message>
    <message>
        <source>%1: you wrote %2; the converter holds %3.</source>
        <translation>%1: you wrote %2; the converter holds %3.</translation>
    </message>
    <message>
        <source>&quot;%1&quot;</source>
        <translation>&quot;%1&quot;</translation>
    </message>
</context>
<context>
    <name>IDD_ABOUTBOX</name>
    <message>
        <source>关于 Trellian</source>
        <translation>About Trellian</translation>
    </message>
    <message>
        <source>Trellian
version 2.0(full)</source>
        <translation>Trellian
version 2.0(full)</translation>
    </message>
    <message>
        <source>Copyright (C) 2026 the LINKMATE developers</source>
        <translation>Copyright (C) 2026 the LINKMATE developers</translation>
    </message>
    <message>
        <source>确定</source>
        <translation>OK</translation>
    </message>
</context>
<context>
    <name>IDD_CAN_PAGE</name>
    <message>
        <source>CAN</source>
        <translation>CAN</translation>
    </message>
    <message>
        <source>C&amp;ustom mask</source>
        <translation>C&amp;ustom mask</translation>
    </message>
    <message>
        <source>Baudr&amp;ate:</source>
        <translation>Baudr&amp;ate:</translation>
    </message>
    <message>
        <source>&amp;BTR0/1:</source>
        <translation>&amp;BTR0/1:</translation>
    </message>
    <message>
        <source>&amp;Filter Mode:</source>
        <translation>&amp;Filter Mode:</translation>
    </message>
    <message>
        <source>Frame &amp;Format:</source>
        <translation>Frame &amp;Format:</translation>
    </message>
    <message>
        <source>&amp;Identifier(Tx):</source>
        <translation>&amp;Identifier(Tx):</translation>
    </message>
    <message>
        <source>Acceptance &amp;Code:</source>
        <translation>Acceptance &amp;Code:</translation>
    </message>
    <message>
        <source>Acceptance &amp;Mask:</source>
        <translation>Acceptance &amp;Mask:</translation>
    </message>
    <message>
        <source>General</source>
        <translation>General</translation>
    </message>
    <message>
        <source>Identifier</source>
        <translation>Identifier</translation>
    </message>
    <message>
        <source>bps</source>
        <translation>bps</translation>
    </message>
    <message>
        <source>(HEX)</source>
        <translation>(HEX)</translation>
    </message>
</context>
<context>
    <name>IDD_CONNECT_PANEL</name>
    <message>
        <source>Dis&amp;connect</source>
        <translation>Dis&amp;connect</translation>
    </message>
    <message>
        <source>&amp;Connect</source>
        <translation>&amp;Connect</translation>
    </message>
    <message>
        <source>&amp;Device:</source>
        <translation>&amp;Device:</translation>
    </message>
    <message>
        <source>COM &amp;Port:</source>
        <translation>COM &amp;Port:</translation>
    </message>
    <message>
        <source>(not present)</source>
        <translation>(not present)</translation>
    </message>
    <message>
        <source>RS-232 / RS-485 ⇄ CAN converter configuration</source>
        <translation>RS-232 / RS-485 ⇄ CAN converter configuration</translation>
    </message>
</context>
<context>
    <name>IDD_SERIAL_PAGE</name>
    <message>
        <source>Serial</source>
        <translation>Serial</translation>
    </message>
    <message>
        <source>Ba&amp;udrate:</source>
        <translation>Ba&amp;udrate:</translation>
    </message>
    <message>
        <source>&amp;Parity:</source>
        <translation>&amp;Parity:</translation>
    </message>
    <message>
        <source>General</source>
        <translation>General</translation>
    </message>
    <message>
        <source>bps</source>
        <translation>bps</translation>
    </message>
    <message>
        <source>&amp;Data Bit:</source>
        <translation>&amp;Data Bit:</translation>
    </message>
    <message>
        <source>&amp;Stop Bit:</source>
        <translation>&amp;Stop Bit:</translation>
    </message>
    <message>
        <source>&amp;Flow Ctrl:</source>
        <translation>&amp;Flow Ctrl:</translation>
    </message>
</context>
<context>
    <name>IDD_TRAN_PAGE</name>
    <message>
        <source>Conversion</source>
        <translation>Conversion</translation>
    </message>
    <message>
        <source>Allow a serial frames to contain CAN Frame ID</source>
        <translation>Allow a serial frames to contain CAN Frame ID</translation>
    </message>
    <message>
        <source>Allow a serial frame to contain CAN Frame Information</source>
        <translation>Allow a serial frame to contain CAN Frame Information</translation>
    </message>
    <message>
        <source>Position of CAN Frame ID</source>
        <translation>Position of CAN Frame ID</translation>
    </message>
    <message>
        <source>&amp;Offset:</source>
        <translation>&amp;Offset:</translation>
    </message>
    <message>
        <source>&amp;Length:</source>
        <translation>&amp;Length:</translation>
    </message>
    <message>
        <source>Conversion &amp;Mode:</source>
        <translation>Conversion &amp;Mode:</translation>
    </message>
    <message>
        <source>Conversion &amp;Direction:</source>
        <translation>Conversion &amp;Direction:</translation>
    </message>
    <message>
        <source>General</source>
        <translation>General</translation>
    </message>
    <message>
        <source>&amp;Interval between two frames:</source>
        <translation>&amp;Interval between two frames:</translation>
    </message>
    <message>
        <source>characters</source>
        <translation>characters</translation>
    </message>
</context>
<context>
    <name>NetworkPort</name>
    <message>
        <source>the host &quot;%1&quot; is unknown (%2)</source>
        <translation>the host &quot;%1&quot; is unknown (%2)</translation>
    </message>
    <message>
        <source>the server at %1 refused the connection: nothing listens on that port</source>
        <translation>the server at %1 refused the connection: nothing listens on that port</translation>
    </message>
    <message>
        <source>the server at %1 did not answer within %2 s</source>
        <translation>the server at %1 did not answer within %2 s</translation>
    </message>
    <message>
        <source>the server at %1 cannot be reached (%2)</source>
        <translation>the server at %1 cannot be reached (%2)</translation>
    </message>
    <message>
        <source>the connection to %1 failed (%2)</source>
        <translation>the connection to %1 failed (%2)</translation>
    </message>
    <message>
        <source>the connection to %1 was lost</source>
        <translation>the connection to %1 was lost</translation>
    </message>
    <message>
        <source>the server at %1 closed the connection at once: it may serve another client (a serial device server takes one client per port)</source>
        <translation>the server at %1 closed the connection at once: it may serve another client (a serial device server takes one client per port)</translation>
    </message>
    <message>
        <source>the server at %1 turned the connection away (&quot;%2&quot;): another program is connected to it (a serial device server takes one client per port)</source>
        <translation>the server at %1 turned the connection away (&quot;%2&quot;): another program is connected to it (a serial device server takes one client per port)</translation>
    </message>
    <message>
        <source>raw TCP: the line runs at the settings of the server at %1, not at the model&apos;s bit rate</source>
        <translation>raw TCP: the line runs at the settings of the server at %1, not at the model&apos;s bit rate</translation>
    </message>
    <message>
        <source>no parity</source>
        <translation>no parity</translation>
    </message>
    <message>
        <source>odd parity</source>
        <translation>odd parity</translation>
    </message>
    <message>
        <source>even parity</source>
        <translation>even parity</translation>
    </message>
    <message>
        <source>mark parity</source>
        <translation>mark parity</translation>
    </message>
    <message>
        <source>space parity</source>
        <translation>space parity</translation>
    </message>
    <message>
        <source>1.5 stop bits</source>
        <translation>1.5 stop bits</translation>
    </message>
    <message>
        <source>2 stop bits</source>
        <translation>2 stop bits</translation>
    </message>
    <message>
        <source>1 stop bit</source>
        <translation>1 stop bit</translation>
    </message>
    <message>
        <source>the server at %1 refused the COM-PORT option: it is no RFC 2217 port (for a raw TCP port use socket://%1)</source>
        <translation>the server at %1 refused the COM-PORT option: it is no RFC 2217 port (for a raw TCP port use socket://%1)</translation>
    </message>
    <message>
        <source>the server at %1 did not answer the Telnet negotiation: it is no RFC 2217 port (for a raw TCP port use socket://%1)</source>
        <translation>the server at %1 did not answer the Telnet negotiation: it is no RFC 2217 port (for a raw TCP port use socket://%1)</translation>
    </message>
    <message>
        <source>%1 bit/s</source>
        <translation>%1 bit/s</translation>
    </message>
    <message>
        <source>%1 data bits</source>
        <translation>%1 data bits</translation>
    </message>
    <message>
        <source>the server at %1 did not take %2</source>
        <translation>the server at %1 did not take %2</translation>
    </message>
    <message>
        <source>the server at %1 did not confirm that flow control is off (SET-CONTROL)</source>
        <translation>the server at %1 did not confirm that flow control is off (SET-CONTROL)</translation>
    </message>
    <message>
        <source>the server at %1 did not confirm that it emptied its buffers (PURGE-DATA)</source>
        <translation>the server at %1 did not confirm that it emptied its buffers (PURGE-DATA)</translation>
    </message>
</context>
<context>
    <name>OpenFailure</name>
    <message>
        <source>a program</source>
        <translation>a program</translation>
    </message>
    <message>
        <source>%1 (process %2)</source>
        <translation>%1 (process %2)</translation>
    </message>
    <message>
        <source>no device</source>
        <translation>no device</translation>
    </message>
    <message>
        <source>%1 is %2: %3.</source>
        <translation>%1 is %2: %3.</translation>
    </message>
    <message>
        <source>%1 is %2 (through the port map&apos;s %3): %4.</source>
        <translation>%1 is %2 (through the port map&apos;s %3): %4.</translation>
    </message>
    <message>
        <source>The device is %1.</source>
        <translation>The device is %1.</translation>
    </message>
    <message>
        <source>The system says: %1.</source>
        <translation>The system says: %1.</translation>
    </message>
    <message>
        <source>Your user may not open the device.</source>
        <translation>Your user may not open the device.</translation>
    </message>
    <message>
        <source>The device is not present: the adapter may be unplugged, or the port map points nowhere. Choose &quot;Ports...&quot; in the window&apos;s context menu (Ctrl+P) to see and change which device each COM number is.</source>
        <translation>The device is not present: the adapter may be unplugged, or the port map points nowhere. Choose &quot;Ports...&quot; in the window&apos;s context menu (Ctrl+P) to see and change which device each COM number is.</translation>
    </message>
    <message>
        <source>The port is in use by %1. Close it there, or choose another port.</source>
        <translation>The port is in use by %1. Close it there, or choose another port.</translation>
    </message>
    <message>
        <source>another program</source>
        <translation>another program</translation>
    </message>
    <message>
        <source>The device does not respond: an on-board port without a UART, or a failing adapter.</source>
        <translation>The device does not respond: an on-board port without a UART, or a failing adapter.</translation>
    </message>
    <message>
        <source>The port is not present: the adapter may be unplugged, or it has another COM number. The Device Manager lists the ports under &quot;Ports (COM &amp; LPT)&quot;.</source>
        <translation>The port is not present: the adapter may be unplugged, or it has another COM number. The Device Manager lists the ports under &quot;Ports (COM &amp; LPT)&quot;.</translation>
    </message>
    <message>
        <source>Its mode is %1, owner %2, group %3.</source>
        <translation>Its mode is %1, owner %2, group %3.</translation>
    </message>
    <message>
        <source>Members of the group &quot;%1&quot; may read and write it; join it with
    sudo usermod -aG %1 $USER
then log out and in again.</source>
        <translation>Members of the group &quot;%1&quot; may read and write it; join it with
    sudo usermod -aG %1 $USER
then log out and in again.</translation>
    </message>
    <message>
        <source>Its mode lets every user read and write it, so something else refuses: a security policy (AppArmor, SELinux) or the device rules of a container. Ask the administrator.</source>
        <translation>Its mode lets every user read and write it, so something else refuses: a security policy (AppArmor, SELinux) or the device rules of a container. Ask the administrator.</translation>
    </message>
    <message>
        <source>Its group is root, which is not a group to join for a serial port.</source>
        <translation>Its group is root, which is not a group to join for a serial port.</translation>
    </message>
    <message>
        <source>Members of its group &quot;%1&quot; may not read and write it either.</source>
        <translation>Members of its group &quot;%1&quot; may not read and write it either.</translation>
    </message>
    <message>
        <source>Ask the administrator for access.</source>
        <translation>Ask the administrator for access.</translation>
    </message>
    <message>
        <source>A udev rule can give it to the group &quot;%1&quot;: as root, put the line
    %2
into %3, plug the adapter in again (or run udevadm trigger), then
    sudo usermod -aG %1 $USER
and log out and in again. Or ask the administrator for access.</source>
        <translation>A udev rule can give it to the group &quot;%1&quot;: as root, put the line
    %2
into %3, plug the adapter in again (or run udevadm trigger), then
    sudo usermod -aG %1 $USER
and log out and in again. Or ask the administrator for access.</translation>
    </message>
    <message>
        <source>%1 (process %2, lock file %3)</source>
        <translation>%1 (process %2, lock file %3)</translation>
    </message>
    <message>
        <source>%1 is %2.</source>
        <translation>%1 is %2.</translation>
    </message>
    <message>
        <source>%1 is %2 (through the port map&apos;s %3).</source>
        <translation>%1 is %2 (through the port map&apos;s %3).</translation>
    </message>
</context>
<context>
    <name>Ports</name>
    <message>
        <source>USB modem-class serial device</source>
        <translation>USB modem-class serial device</translation>
    </message>
    <message>
        <source>USB serial adapter</source>
        <translation>USB serial adapter</translation>
    </message>
    <message>
        <source>on-board serial port</source>
        <translation>on-board serial port</translation>
    </message>
    <message>
        <source>serial device</source>
        <translation>serial device</translation>
    </message>
    <message>
        <source>LINKMATE virtual converter (process %1)</source>
        <translation>LINKMATE virtual converter (process %1)</translation>
    </message>
    <message>
        <source>only COM1 to COM8 can be mapped</source>
        <translation>only COM1 to COM8 can be mapped</translation>
    </message>
    <message>
        <source>not present (left by a virtual converter that no longer runs)</source>
        <translation>not present (left by a virtual converter that no longer runs)</translation>
    </message>
    <message>
        <source>not present (adapter unplugged, or the map points nowhere)</source>
        <translation>not present (adapter unplugged, or the map points nowhere)</translation>
    </message>
    <message>
        <source>on-board serial port (no adapter assigned)</source>
        <translation>on-board serial port (no adapter assigned)</translation>
    </message>
    <message>
        <source>not present (no adapter assigned)</source>
        <translation>not present (no adapter assigned)</translation>
    </message>
    <message>
        <source>%1 is not a device that is present</source>
        <translation>%1 is not a device that is present</translation>
    </message>
    <message>
        <source>the port map cannot be written: %1</source>
        <translation>the port map cannot be written: %1</translation>
    </message>
    <message>
        <source>%1 is not a link; it is left alone</source>
        <translation>%1 is not a link; it is left alone</translation>
    </message>
    <message>
        <source>cannot remove %1: %2</source>
        <translation>cannot remove %1: %2</translation>
    </message>
    <message>
        <source>Windows assigns the COM numbers itself: change them in the Device Manager (Ports (COM &amp; LPT), the port&apos;s Properties, Port Settings, Advanced).</source>
        <translation>Windows assigns the COM numbers itself: change them in the Device Manager (Ports (COM &amp; LPT), the port&apos;s Properties, Port Settings, Advanced).</translation>
    </message>
    <message>
        <source>not present</source>
        <translation>not present</translation>
    </message>
    <message>
        <source>Bluetooth serial link</source>
        <translation>Bluetooth serial link</translation>
    </message>
    <message>
        <source>serial port</source>
        <translation>serial port</translation>
    </message>
    <message>
        <source>serial device server (RFC 2217)</source>
        <translation>serial device server (RFC 2217)</translation>
    </message>
    <message>
        <source>serial device server (raw TCP)</source>
        <translation>serial device server (raw TCP)</translation>
    </message>
    <message>
        <source>%1 (the port map&apos;s entry &quot;%2&quot; is not an address)</source>
        <translation>%1 (the port map&apos;s entry &quot;%2&quot; is not an address)</translation>
    </message>
    <message>
        <source>%1 (the system has this port: the port map&apos;s %2 is not used)</source>
        <translation>%1 (the system has this port: the port map&apos;s %2 is not used)</translation>
    </message>
    <message>
        <source>COM%1 is a port of this system and stays one: point a COM number the system does not have at the server.</source>
        <translation>COM%1 is a port of this system and stays one: point a COM number the system does not have at the server.</translation>
    </message>
    <message>
        <source>the port map %1 cannot be written: %2</source>
        <translation>the port map %1 cannot be written: %2</translation>
    </message>
</context>
<context>
    <name>Profile</name>
    <message>
        <source>cannot create a file in %1</source>
        <translation>cannot create a file in %1</translation>
    </message>
    <message>
        <source>cannot write %1</source>
        <translation>cannot write %1</translation>
    </message>
    <message>
        <source>cannot replace %1</source>
        <translation>cannot replace %1</translation>
    </message>
    <message>
        <source>the profile&apos;s lock cannot be taken</source>
        <translation>the profile&apos;s lock cannot be taken</translation>
    </message>
    <message>
        <source>the profile is locked by another program</source>
        <translation>the profile is locked by another program</translation>
    </message>
    <message>
        <source>there is no per-user configuration folder (neither XDG_CONFIG_HOME nor HOME is set)</source>
        <translation>there is no per-user configuration folder (neither XDG_CONFIG_HOME nor HOME is set)</translation>
    </message>
    <message>
        <source>the registry key name cannot name a folder</source>
        <translation>the registry key name cannot name a folder</translation>
    </message>
    <message>
        <source>the application name cannot name a profile file (empty, &quot;.&quot;, &quot;..&quot;, a slash or a control character)</source>
        <translation>the application name cannot name a profile file (empty, &quot;.&quot;, &quot;..&quot;, a slash or a control character)</translation>
    </message>
    <message>
        <source>cannot create the folder %1: %2</source>
        <translation>cannot create the folder %1: %2</translation>
    </message>
    <message>
        <source>cannot create the lock file %1</source>
        <translation>cannot create the lock file %1</translation>
    </message>
    <message>
        <source>cannot read %1</source>
        <translation>cannot read %1</translation>
    </message>
    <message>
        <source>%1 is not a regular file</source>
        <translation>%1 is not a regular file</translation>
    </message>
    <message>
        <source>the profile could not be written</source>
        <translation>the profile could not be written</translation>
    </message>
    <message>
        <source>cannot open the registry key %1: %2</source>
        <translation>cannot open the registry key %1: %2</translation>
    </message>
    <message>
        <source>cannot write the registry value %1: %2</source>
        <translation>cannot write the registry value %1: %2</translation>
    </message>
</context>
<context>
    <name>QLineEdit</name>
    <message>
        <source>&amp;Paste</source>
        <translation>&amp;Paste</translation>
    </message>
</context>
<context>
    <name>SheetStatus</name>
    <message>
        <source>Not connected.</source>
        <translation>Not connected.</translation>
    </message>
    <message>
        <source>%1 at %2 bit/s</source>
        <translation>%1 at %2 bit/s</translation>
    </message>
    <message>
        <source>Connected to %1; %2.</source>
        <translation>Connected to %1; %2.</translation>
    </message>
    <message>
        <source>The pages show the profile&apos;s values (nothing saved yet)</source>
        <translation>The pages show the profile&apos;s values (nothing saved yet)</translation>
    </message>
    <message>
        <source>The pages show the profile saved on %1</source>
        <translation>The pages show the profile saved on %1</translation>
    </message>
    <message>
        <source>The pages show the factory values (Default), not written</source>
        <translation>The pages show the factory values (Default), not written</translation>
    </message>
    <message>
        <source>The pages show what was read from the converter at %1</source>
        <translation>The pages show what was read from the converter at %1</translation>
    </message>
    <message>
        <source>The pages show what was written to the converter at %1</source>
        <translation>The pages show what was written to the converter at %1</translation>
    </message>
    <message>
        <source>The pages show the file %1, not written</source>
        <translation>The pages show the file %1, not written</translation>
    </message>
    <message>
        <source>, edited since</source>
        <translation>, edited since</translation>
    </message>
    <message>
        <source>%1.</source>
        <translation>%1.</translation>
    </message>
</context>
<context>
    <name>lists</name>
    <message>
        <source>No parity</source>
        <translation>No parity</translation>
    </message>
    <message>
        <source>Even</source>
        <translation>Even</translation>
    </message>
    <message>
        <source>Odd</source>
        <translation>Odd</translation>
    </message>
    <message>
        <source>2 stop bits</source>
        <translation>2 stop bits</translation>
    </message>
    <message>
        <source>Hardware</source>
        <translation>Hardware</translation>
    </message>
    <message>
        <source>None</source>
        <translation>None</translation>
    </message>
    <message>
        <source>Custom</source>
        <translation>Custom</translation>
    </message>
    <message>
        <source>Standard Frame</source>
        <translation>Standard Frame</translation>
    </message>
    <message>
        <source>Extended Frame</source>
        <translation>Extended Frame</translation>
    </message>
    <message>
        <source>Dual</source>
        <translation>Dual</translation>
    </message>
    <message>
        <source>Single</source>
        <translation>Single</translation>
    </message>
    <message>
        <source>Transparent</source>
        <translation>Transparent</translation>
    </message>
    <message>
        <source>Transparent with ID</source>
        <translation>Transparent with ID</translation>
    </message>
    <message>
        <source>MODBUS Convert</source>
        <translation>MODBUS Convert</translation>
    </message>
    <message>
        <source>Dual Direction</source>
        <translation>Dual Direction</translation>
    </message>
    <message>
        <source>Serial → CAN</source>
        <translation>Serial → CAN</translation>
    </message>
    <message>
        <source>Serial ← CAN</source>
        <translation>Serial ← CAN</translation>
    </message>
</context>
<context>
    <name>strings</name>
    <message>
        <source>About LINKMATE(&amp;A)...</source>
        <translation>About LINKMATE(&amp;A)...</translation>
    </message>
    <message>
        <source>Trellian v2.0</source>
        <translation>Trellian v2.0</translation>
    </message>
    <message>
        <source>Configration</source>
        <translation>Configration</translation>
    </message>
</context>
</TS>
