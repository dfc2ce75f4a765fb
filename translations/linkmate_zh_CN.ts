<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_CN">
<context>
    <name>BitTiming</name>
    <message>
        <source>%1 kbit/s, sample point %2 %, %3 quanta, SJW %4</source>
        <translation>%1 kbit/s，采样点 %2 %，%3 个时间份额，SJW %4</translation>
    </message>
    <message>
        <source>, triple sampling</source>
        <translation>，三次采样</translation>
    </message>
    <message>
        <source>SJW %1 is longer than TSEG2 %2</source>
        <translation>SJW %1 大于 TSEG2 %2</translation>
    </message>
    <message>
        <source>TSEG2 %1 is longer than TSEG1 %2</source>
        <translation>TSEG2 %1 大于 TSEG1 %2</translation>
    </message>
    <message>
        <source>sample point %1 % is below 50 %</source>
        <translation>采样点 %1 % 低于 50 %</translation>
    </message>
    <message>
        <source>%1 quanta per bit, fewer than 8</source>
        <translation>每位 %1 个时间份额，少于 8 个</translation>
    </message>
    <message>
        <source>Warning: %1</source>
        <translation>警告：%1</translation>
    </message>
</context>
<context>
    <name>CBitTimingDlg</name>
    <message>
        <source>&amp;Use</source>
        <translation>使用(&amp;U)</translation>
    </message>
    <message>
        <source>Bit timing calculator</source>
        <translation>位定时计算器</translation>
    </message>
    <message>
        <source>&amp;Bit rate:</source>
        <translation>波特率(&amp;B):</translation>
    </message>
    <message>
        <source>&amp;Sample point (%):</source>
        <translation>采样点 %(&amp;S):</translation>
    </message>
    <message>
        <source>Bit rate (kbit/s)</source>
        <translation>波特率 (kbit/s)</translation>
    </message>
    <message>
        <source>Error</source>
        <translation>误差</translation>
    </message>
    <message>
        <source>Sample point</source>
        <translation>采样点</translation>
    </message>
    <message>
        <source>Quanta</source>
        <translation>时间份额</translation>
    </message>
    <message>
        <source>&amp;Register pairs</source>
        <translation>寄存器组合(&amp;R)</translation>
    </message>
    <message>
        <source>Controller clock 16 MHz (SJA1000 registers). Nothing is sent until Write.</source>
        <translation>控制器时钟 16 MHz（SJA1000 寄存器）。按“写入”之前不会发送任何内容。</translation>
    </message>
    <message>
        <source>&amp;Calculate</source>
        <translation>计算(&amp;C)</translation>
    </message>
    <message>
        <source>Type a bit rate such as 83333, 83.333k, 500K or 1M.</source>
        <translation>请输入波特率，例如 83333、83.333k、500K 或 1M。</translation>
    </message>
    <message>
        <source>No pair reaches %1 kbit/s within 1 %.</source>
        <translation>没有寄存器组合能在 1 % 误差内达到 %1 kbit/s。</translation>
    </message>
    <message>
        <source>Best first, for a sample point of %1 %. Choose one and press Use.</source>
        <translation>按优劣排序，采样点 %1 %。请选择一项并按“使用”。</translation>
    </message>
    <message>
        <source>Type a sample point between 50 and 95 %, such as 87.5, 0.875 or 875, or leave it empty.</source>
        <translation>请输入 50 % 到 95 % 之间的采样点，如 87.5、0.875 或 875，或留空。</translation>
    </message>
    <message>
        <source>SocketCAN:</source>
        <translation>SocketCAN：</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>关闭</translation>
    </message>
</context>
<context>
    <name>CCanPage</name>
    <message>
        <source>Identifier(Tx)</source>
        <translation>发送标识符</translation>
    </message>
    <message>
        <source>Acceptance Code</source>
        <translation>验收码</translation>
    </message>
    <message>
        <source>Acceptance Code, first filter</source>
        <translation>验收码（第一滤波器）</translation>
    </message>
    <message>
        <source>Acceptance Code, second filter</source>
        <translation>验收码（第二滤波器）</translation>
    </message>
    <message>
        <source>Acceptance Mask</source>
        <translation>屏蔽码</translation>
    </message>
    <message>
        <source>Acceptance Mask, first filter</source>
        <translation>屏蔽码（第一滤波器）</translation>
    </message>
    <message>
        <source>Acceptance Mask, second filter</source>
        <translation>屏蔽码（第二滤波器）</translation>
    </message>
    <message>
        <source>Custom: the bit timing as typed in BTR0/BTR1</source>
        <translation>自定义：使用 BTR0/BTR1 中输入的位定时</translation>
    </message>
    <message>
        <source>BTR0 and BTR1: two hex bytes of the bit timing (16 MHz controller clock)</source>
        <translation>BTR0 和 BTR1：位定时的两个十六进制字节（控制器时钟 16 MHz）</translation>
    </message>
    <message>
        <source>The mask rule replaced &quot;%1&quot; here.</source>
        <translation>规则替换了此处原有的“%1”。</translation>
    </message>
</context>
<context>
    <name>CFindConverterDlg</name>
    <message>
        <source>Find converter</source>
        <translation>查找转换器</translation>
    </message>
    <message>
        <source>&amp;Converters on COM1 to COM8:</source>
        <translation>COM1 至 COM8 上的转换器(&amp;C):</translation>
    </message>
    <message>
        <source>Device</source>
        <translation>设备</translation>
    </message>
    <message>
        <source>Model</source>
        <translation>型号</translation>
    </message>
    <message>
        <source>Configuration</source>
        <translation>配置</translation>
    </message>
    <message>
        <source>&amp;Search again</source>
        <translation>重新搜索(&amp;S)</translation>
    </message>
    <message>
        <source>&amp;Use</source>
        <translation>使用(&amp;U)</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>关闭</translation>
    </message>
    <message>
        <source>Asking every port at 57600 and at 19200 bit/s; only the read request is sent.</source>
        <translation>正在以 57600 和 19200 bit/s 询问每个端口；只发送读取请求。</translation>
    </message>
    <message>
        <source>held by %1</source>
        <translation>被 %1 占用</translation>
    </message>
    <message>
        <source>No converter answered at 57600 or 19200 bit/s. Check the wiring, the converter&apos;s power and the Ports dialog.</source>
        <translation>没有转换器在 57600 或 19200 bit/s 应答。请检查接线、转换器电源和“端口”对话框。</translation>
    </message>
    <message>
        <source>%1 converter(s) found in %2 ms. Choose one and press Use.</source>
        <translation>在 %2 毫秒内找到 %1 个转换器。请选择一个并按“使用”。</translation>
    </message>
    <message>
        <source>the server&apos;s line settings (raw TCP)</source>
        <translation>服务器的线路设置（原始 TCP）</translation>
    </message>
    <message>
        <source>no answer</source>
        <translation>无应答</translation>
    </message>
    <message>
        <source>at 57600 or 19200 bit/s</source>
        <translation>已试过 57600 和 19200 bit/s</translation>
    </message>
    <message>
        <source>held by another program</source>
        <translation>被另一个程序占用</translation>
    </message>
    <message>
        <source>absent</source>
        <translation>不存在</translation>
    </message>
    <message>
        <source>not opened</source>
        <translation>未能打开</translation>
    </message>
</context>
<context>
    <name>CLINKMATESheet</name>
    <message>
        <source>LINKMATE configuration (*.reg);;All files (*)</source>
        <translation>LINKMATE 配置 (*.reg);;所有文件 (*)</translation>
    </message>
    <message>
        <source>&amp;Default</source>
        <translation>默认(&amp;D)</translation>
    </message>
    <message>
        <source>&amp;Read</source>
        <translation>读取(&amp;R)</translation>
    </message>
    <message>
        <source>&amp;Write</source>
        <translation>写入(&amp;W)</translation>
    </message>
    <message>
        <source>Type one byte as two hex digits (for example 1C).</source>
        <translation>请以两位十六进制数字输入一个字节（例如 1C）。</translation>
    </message>
    <message>
        <source>Type up to %1 bytes as pairs of hex digits separated by blanks, most significant first (for example %2).</source>
        <translation>请输入最多 %1 个字节，每字节两位十六进制数字，以空格分隔，高位在前（例如 %2）。</translation>
    </message>
    <message>
        <source>%1: &quot;%2&quot; is not hexadecimal byte text.

%3 Nothing was sent.</source>
        <translation>%1：“%2”不是十六进制字节文本。

%3 未发送任何内容。</translation>
    </message>
    <message>
        <source>The converter cannot hold these values as the page shows them:</source>
        <translation>转换器无法按页面所示保存以下值：</translation>
    </message>
    <message>
        <source>%1: you typed &quot;%2&quot; (read as %3); the converter will hold %4.</source>
        <translation>%1：您输入了“%2”（解析为 %3）；转换器将保存 %4。</translation>
    </message>
    <message>
        <source>%1: you typed &quot;%2&quot;; the converter will hold %3.</source>
        <translation>%1：您输入了“%2”；转换器将保存 %3。</translation>
    </message>
    <message>
        <source>Write anyway?</source>
        <translation>仍然写入吗？</translation>
    </message>
    <message>
        <source>Read Configration Successfully!</source>
        <translation>读取配置成功！</translation>
    </message>
    <message>
        <source>Write Configration Successfully!</source>
        <translation>写入配置成功！</translation>
    </message>
    <message>
        <source>Communication Error!</source>
        <translation>通信错误！</translation>
    </message>
    <message>
        <source>The settings could not be saved in the profile, so the next start will not show them: %1.</source>
        <translation>设置无法保存到用户配置，下次启动时将不会显示这些设置：%1。</translation>
    </message>
    <message>
        <source>The serial port could not be closed cleanly: %1</source>
        <translation>端口未能正常关闭：%1</translation>
    </message>
    <message>
        <source>Invalid serial port!</source>
        <translation>无效的端口！</translation>
    </message>
    <message>
        <source>&amp;Open configuration...</source>
        <translation>打开配置(&amp;O)...</translation>
    </message>
    <message>
        <source>&amp;Save configuration...</source>
        <translation>保存配置(&amp;S)...</translation>
    </message>
    <message>
        <source>&amp;Ports...</source>
        <translation>端口(&amp;P)...</translation>
    </message>
    <message>
        <source>&amp;Bit timing calculator...</source>
        <translation>位定时计算器(&amp;B)...</translation>
    </message>
    <message>
        <source>Save configuration</source>
        <translation>保存配置</translation>
    </message>
    <message>
        <source>The configuration could not be saved: %1.</source>
        <translation>配置无法保存：%1。</translation>
    </message>
    <message>
        <source>Open configuration</source>
        <translation>打开配置</translation>
    </message>
    <message>
        <source>The configuration could not be opened: %1.</source>
        <translation>配置无法打开：%1。</translation>
    </message>
    <message>
        <source>Read cancelled: the pages and the profile are unchanged.</source>
        <translation>读取已取消：页面和用户配置均未改变。</translation>
    </message>
    <message>
        <source>Write cancelled: nothing was saved; the converter may hold what was sent.</source>
        <translation>写入已取消：未保存任何内容；转换器可能已保存发送的配置。</translation>
    </message>
    <message>
        <source>Communication error: %1</source>
        <translation>通信错误：%1</translation>
    </message>
    <message>
        <source>The mask rule replaced %1 &quot;%2&quot; with %3.</source>
        <translation>规则已将%1“%2”替换为 %3。</translation>
    </message>
    <message>
        <source>The adapter of COM%1 was unplugged.</source>
        <translation>COM%1 的适配器已被拔出。</translation>
    </message>
    <message>
        <source>The converter may have taken the new values: press Read to see what it holds.</source>
        <translation>转换器可能已接收新的配置值：请按“读取”查看它保存的内容。</translation>
    </message>
    <message>
        <source>Reading the configuration: request %1, %2 s</source>
        <translation>正在读取配置：第 %1 次请求，%2 秒</translation>
    </message>
    <message>
        <source>Writing the configuration and reading it back: request %1, %2 s</source>
        <translation>正在写入配置并回读：第 %1 次请求，%2 秒</translation>
    </message>
    <message>
        <source>&amp;Find converter...</source>
        <translation>查找转换器(&amp;F)...</translation>
    </message>
    <message>
        <source>Standard frames carry 11-bit identifiers (at most %1, or %2 in a dual filter), extended frames 29-bit ones (at most %3).</source>
        <translation>标准帧使用 11 位标识符（最大 %1，双滤波器中为 %2），扩展帧使用 29 位标识符（最大 %3）。</translation>
    </message>
    <message>
        <source>Use %1</source>
        <translation>改用 %1</translation>
    </message>
    <message>
        <source>Connected to the converter found on COM%1.</source>
        <translation>已连接到在 COM%1 上找到的转换器。</translation>
    </message>
    <message>
        <source>Connected to COM%1 again after the search.</source>
        <translation>搜索结束，已重新连接 COM%1。</translation>
    </message>
    <message>
        <source>The converter on COM%1 is chosen: press Connect.</source>
        <translation>已选择 COM%1 上的转换器：请按“连接”。</translation>
    </message>
    <message>
        <source>COM%1: %2.</source>
        <translation>COM%1：%2。</translation>
    </message>
    <message>
        <source>Default</source>
        <translation>默认</translation>
    </message>
    <message>
        <source>Open</source>
        <translation>打开配置</translation>
    </message>
    <message>
        <source>the bit timing</source>
        <translation>位定时</translation>
    </message>
    <message>
        <source>Undo</source>
        <translation>撤销</translation>
    </message>
    <message>
        <source>Default replaced every page; Undo (Ctrl+Z) brings back what they showed.</source>
        <translation>“默认”已替换所有页面；按“撤销”（Ctrl+Z）可恢复原来的内容。</translation>
    </message>
    <message>
        <source>Undo %1 (%2)</source>
        <translation>撤销“%1”（%2）</translation>
    </message>
    <message>
        <source>Undone: the pages show again what they showed before %1.</source>
        <translation>已撤销：页面恢复为“%1”之前的内容。</translation>
    </message>
    <message>
        <source>%1 events in this run; Show Details lists them with their times.</source>
        <translation>本次运行共有 %1 条事件；“显示详细信息”列出每条事件及其时间。</translation>
    </message>
    <message>
        <source>unknown</source>
        <translation>未知</translation>
    </message>
    <message>
        <source>Program: %1 %2 on %3</source>
        <translation>程序：%1 %2，系统：%3</translation>
    </message>
    <message>
        <source>Started: %1</source>
        <translation>开始时间：%1</translation>
    </message>
    <message>
        <source>Port: %1, device %2</source>
        <translation>端口：%1，设备：%2</translation>
    </message>
    <message>
        <source>Model: %1 at %2 bit/s</source>
        <translation>型号：%1，%2 bit/s</translation>
    </message>
    <message>
        <source>Asked again at %1 bit/s (%2): a converter answered</source>
        <translation>以 %1 bit/s（%2）再次询问：有转换器应答</translation>
    </message>
    <message>
        <source>Asked again at %1 bit/s (%2): no answer</source>
        <translation>以 %1 bit/s（%2）再次询问：无应答</translation>
    </message>
    <message>
        <source>The converter answered, but it holds other values than you wrote.</source>
        <translation>转换器已应答，但它保存的值与您写入的不同。</translation>
    </message>
    <message>
        <source>Event &amp;log...</source>
        <translation>事件日志(&amp;L)...</translation>
    </message>
    <message>
        <source>&amp;Cancel</source>
        <translation>取消(&amp;C)</translation>
    </message>
    <message>
        <source>No failure has been reported in this run.</source>
        <translation>本次运行中尚未报告过故障。</translation>
    </message>
    <message>
        <source>Save report</source>
        <translation>保存报告</translation>
    </message>
    <message>
        <source>Text files (*.txt);;All files (*)</source>
        <translation>文本文件 (*.txt);;所有文件 (*)</translation>
    </message>
    <message>
        <source>The report could not be saved: %1.</source>
        <translation>报告无法保存：%1。</translation>
    </message>
    <message>
        <source>Save &amp;report...</source>
        <translation>保存报告(&amp;R)...</translation>
    </message>
</context>
<context>
    <name>CMessageBox</name>
    <message>
        <source>Show Details...</source>
        <translation>显示详细信息...</translation>
    </message>
    <message>
        <source>Hide Details...</source>
        <translation>隐藏详细信息...</translation>
    </message>
    <message>
        <source>&amp;Copy</source>
        <translation>复制(&amp;C)</translation>
    </message>
    <message>
        <source>&amp;Yes</source>
        <translation>是(&amp;Y)</translation>
    </message>
    <message>
        <source>&amp;No</source>
        <translation>否(&amp;N)</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>确定</translation>
    </message>
</context>
<context>
    <name>CPortMapDlg</name>
    <message>
        <source>&amp;Assign to selected COM</source>
        <translation>分配给所选 COM(&amp;A)</translation>
    </message>
    <message>
        <source>&amp;Free selected COM</source>
        <translation>释放所选 COM(&amp;F)</translation>
    </message>
    <message>
        <source>Ports</source>
        <translation>端口</translation>
    </message>
    <message>
        <source>Device</source>
        <translation>设备</translation>
    </message>
    <message>
        <source>What it is</source>
        <translation>说明</translation>
    </message>
    <message>
        <source>Serial &amp;devices on this machine:</source>
        <translation>本机的串口设备(&amp;D):</translation>
    </message>
    <message>
        <source>&amp;COM ports (changes take effect at the next Connect):</source>
        <translation>COM 端口（更改在下次连接时生效）(&amp;C):</translation>
    </message>
    <message>
        <source>&amp;Refresh</source>
        <translation>刷新(&amp;R)</translation>
    </message>
    <message>
        <source>(no serial device found)</source>
        <translation>（未找到串口设备）</translation>
    </message>
    <message>
        <source>COM%1 is now %2.</source>
        <translation>COM%1 现在是 %2。</translation>
    </message>
    <message>
        <source>COM%1 is free.</source>
        <translation>COM%1 已释放。</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>关闭</translation>
    </message>
    <message>
        <source>Choose the COM number first.</source>
        <translation>请先选择 COM 编号。</translation>
    </message>
    <message>
        <source>Or a serial device ser&amp;ver&apos;s port (rfc2217://HOST:PORT or socket://HOST:PORT):</source>
        <translation>或串口设备服务器的端口（rfc2217://主机:端口 或 socket://主机:端口）(&amp;V):</translation>
    </message>
    <message>
        <source>Assi&amp;gn server to selected COM</source>
        <translation>将服务器分配给所选 COM(&amp;G)</translation>
    </message>
</context>
<context>
    <name>CPropertySheet</name>
    <message>
        <source>OK</source>
        <translation>确定</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>取消</translation>
    </message>
    <message>
        <source>&amp;Apply</source>
        <translation>应用(&amp;A)</translation>
    </message>
    <message>
        <source>Help</source>
        <translation>帮助</translation>
    </message>
</context>
<context>
    <name>ConfigFile</name>
    <message>
        <source>%1: larger than 1 MiB, not a configuration file</source>
        <translation>%1：大于 1 MiB，不是配置文件</translation>
    </message>
    <message>
        <source>%1: not readable as text</source>
        <translation>%1：无法作为文本读取</translation>
    </message>
    <message>
        <source>%1:%2: cannot be read: %3</source>
        <translation>%1:%2：无法读取：%3</translation>
    </message>
    <message>
        <source>%1: no [..\LINKMATE] section</source>
        <translation>%1：没有 [..\LINKMATE] 节</translation>
    </message>
    <message>
        <source>&quot;%1&quot; must be a text value</source>
        <translation>“%1”必须是文本值</translation>
    </message>
    <message>
        <source>&quot;%1&quot; must be a dword value</source>
        <translation>“%1”必须是 dword 值</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is not a setting; the settings are: %2</source>
        <translation>“%1”不是设置项；设置项有：%2</translation>
    </message>
    <message>
        <source>%1: settings missing: %2 (to change only the settings a file has, write it with --partial)</source>
        <translation>%1：缺少设置项：%2（若只想更改文件中已有的设置，请用 --partial 写入）</translation>
    </message>
    <message>
        <source>%1: no settings in it, nothing to export</source>
        <translation>%1：其中没有设置，无可导出</translation>
    </message>
    <message>
        <source>standard input</source>
        <translation>标准输入</translation>
    </message>
    <message>
        <source>%1: a folder, not a file</source>
        <translation>%1：是文件夹，不是文件</translation>
    </message>
    <message>
        <source>%1: not a regular file</source>
        <translation>%1：不是普通文件</translation>
    </message>
</context>
<context>
    <name>ConverterFinder</name>
    <message>
        <source>A converter answered at %1 bit/s: choose %2.</source>
        <translation>有转换器在 %1 bit/s 应答：请选择 %2。</translation>
    </message>
    <message>
        <source>serial %1 bit/s %2, CAN %3 %4, %5</source>
        <translation>串口 %1 bit/s %2，CAN %3 %4，%5</translation>
    </message>
</context>
<context>
    <name>DataExchange</name>
    <message>
        <source>Please enter an integer.</source>
        <translation>请输入一个整数。</translation>
    </message>
</context>
<context>
    <name>ExchangeTrace</name>
    <message>
        <source>answered</source>
        <translation>已应答</translation>
    </message>
    <message>
        <source>no answer within the time-out</source>
        <translation>超时内无应答</translation>
    </message>
    <message>
        <source>wrong header</source>
        <translation>帧头错误</translation>
    </message>
    <message>
        <source>wrong command or length</source>
        <translation>命令或长度错误</translation>
    </message>
    <message>
        <source>short frame</source>
        <translation>帧不完整</translation>
    </message>
    <message>
        <source>wrong check byte</source>
        <translation>校验字节错误</translation>
    </message>
    <message>
        <source>wrong acknowledgement</source>
        <translation>应答错误</translation>
    </message>
    <message>
        <source>The converter answered only after a time-out: it is busy, or the line is slow.</source>
        <translation>转换器在超时之后才应答：转换器忙，或线路较慢。</translation>
    </message>
    <message>
        <source>No answer at all: check the wiring, the converter&apos;s power and that this is the right port.</source>
        <translation>完全没有应答：请检查接线、转换器电源，以及是否选择了正确的端口。</translation>
    </message>
    <message>
        <source>A reply arrived with a wrong check byte: noise on the line.</source>
        <translation>收到的应答校验字节错误：线路上有干扰。</translation>
    </message>
    <message>
        <source>Answers arrive after the time-out: the converter is busy, or the line is slow.</source>
        <translation>应答在超时之后才到达：转换器忙，或线路较慢。</translation>
    </message>
    <message>
        <source>The reply stopped short: bytes were lost on the line.</source>
        <translation>应答不完整：线路上丢失了字节。</translation>
    </message>
    <message>
        <source>A frame arrived with the wrong command or length: another device, or a converter in another mode, is answering.</source>
        <translation>收到的帧命令或长度错误：可能是其他设备或处于其他模式的转换器在应答。</translation>
    </message>
    <message>
        <source>Bytes arrived but never formed a reply: check the converter model (the bit rate: Ternix-A 57600, Ternix-B 19200 bit/s), or the RS-485 wires A and B may be swapped.</source>
        <translation>收到了字节，但始终未构成应答：请检查转换器型号（波特率：Ternix-A 57600，Ternix-B 19200 bit/s），或 RS-485 的 A、B 线可能接反。</translation>
    </message>
    <message>
        <source>read</source>
        <translation>读取</translation>
    </message>
    <message>
        <source>write</source>
        <translation>写入</translation>
    </message>
    <message>
        <source>%1, attempt %2: sent %3</source>
        <translation>%1，第 %2 次尝试：发送 %3</translation>
    </message>
    <message>
        <source>ended: %1</source>
        <translation>结束：%1</translation>
    </message>
    <message>
        <source>a value outside its list: not a converter&apos;s reply</source>
        <translation>有值超出其列表：不是转换器的应答</translation>
    </message>
    <message>
        <source>only the echo of our own bytes</source>
        <translation>只有本机发送字节的回显</translation>
    </message>
    <message>
        <source>differs from the earlier reply</source>
        <translation>与先前的应答不同</translation>
    </message>
    <message>
        <source>the device was removed</source>
        <translation>设备已被移除</translation>
    </message>
    <message>
        <source>The device was removed: the adapter was unplugged or its driver went away. Plug it in again and connect.</source>
        <translation>设备已被移除：适配器被拔出或其驱动已卸载。请重新插入并连接。</translation>
    </message>
    <message>
        <source>Only the echo of our own bytes came back: the RS-485 adapter returns what it sends, but the converter does not answer. Check the wires A and B, the converter&apos;s power and the model.</source>
        <translation>只收到本机发送字节的回显：RS-485 适配器会返回它发送的内容，但转换器没有应答。请检查 A、B 线、转换器电源和型号。</translation>
    </message>
    <message>
        <source>The replies differ: the line is noisy. Nothing was taken from them.</source>
        <translation>几次应答互不相同：线路有干扰。未采用其中任何数据。</translation>
    </message>
    <message>
        <source>the first %1 bytes: echo of our own bytes, skipped</source>
        <translation>前 %1 个字节：本机发送字节的回显，已跳过</translation>
    </message>
    <message>
        <source>The converter answers slowly: its reply was still arriving, byte by byte, when the time for it ran out. Nothing was lost on the line.</source>
        <translation>转换器应答缓慢：等待时间用完时，应答仍在逐字节到达。线路上没有丢失数据。</translation>
    </message>
    <message>
        <source>The converter holds a value outside its list (its check byte is right): write a good configuration (write a file, or default) to put it right.</source>
        <translation>转换器保存了一个超出其列表的值（校验字节正确）：请写入一个正确的配置（写入文件或恢复默认值）来纠正。</translation>
    </message>
    <message>
        <source>asked at %1 bit/s: sent %2</source>
        <translation>以 %1 bit/s 询问：发送 %2</translation>
    </message>
</context>
<context>
    <name>HeldDifferences</name>
    <message>
        <source>ticked</source>
        <translation>已勾选</translation>
    </message>
    <message>
        <source>not ticked</source>
        <translation>未勾选</translation>
    </message>
    <message>
        <source>%1 page, %2</source>
        <translation>“%1”页的“%2”</translation>
    </message>
    <message>
        <source>%1: you wrote %2; the converter holds %3.</source>
        <translation>%1：您写入的是 %2，转换器保存的是 %3。</translation>
    </message>
    <message>
        <source>&quot;%1&quot;</source>
        <translation>“%1”</translation>
    </message>
</context>
<context>
    <name>IDD_ABOUTBOX</name>
    <message>
        <source>关于 Trellian</source>
        <translation>关于 Trellian</translation>
    </message>
    <message>
        <source>Trellian
version 2.0(full)</source>
        <translation>Trellian
版本 2.0（完整版）</translation>
    </message>
    <message>
        <source>Copyright (C) 2026 the LINKMATE developers</source>
        <translation>版权所有 (C) 2026 LINKMATE 开发者</translation>
    </message>
    <message>
        <source>确定</source>
        <translation>确定</translation>
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
        <translation>自定义屏蔽码(&amp;U)</translation>
    </message>
    <message>
        <source>Baudr&amp;ate:</source>
        <translation>波特率(&amp;A):</translation>
    </message>
    <message>
        <source>&amp;BTR0/1:</source>
        <translation>&amp;BTR0/1:</translation>
    </message>
    <message>
        <source>&amp;Filter Mode:</source>
        <translation>滤波模式(&amp;F):</translation>
    </message>
    <message>
        <source>Frame &amp;Format:</source>
        <translation>帧格式(&amp;F):</translation>
    </message>
    <message>
        <source>&amp;Identifier(Tx):</source>
        <translation>发送标识符(&amp;I):</translation>
    </message>
    <message>
        <source>Acceptance &amp;Code:</source>
        <translation>验收码(&amp;C):</translation>
    </message>
    <message>
        <source>Acceptance &amp;Mask:</source>
        <translation>屏蔽码(&amp;M):</translation>
    </message>
    <message>
        <source>General</source>
        <translation>常规</translation>
    </message>
    <message>
        <source>Identifier</source>
        <translation>标识符</translation>
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
        <translation>断开(&amp;C)</translation>
    </message>
    <message>
        <source>&amp;Connect</source>
        <translation>连接(&amp;C)</translation>
    </message>
    <message>
        <source>&amp;Device:</source>
        <translation>设备(&amp;D):</translation>
    </message>
    <message>
        <source>COM &amp;Port:</source>
        <translation>端口号(&amp;P):</translation>
    </message>
    <message>
        <source>(not present)</source>
        <translation>（不存在）</translation>
    </message>
    <message>
        <source>RS-232 / RS-485 ⇄ CAN converter configuration</source>
        <translation>RS-232 / RS-485 ⇄ CAN 转换器配置</translation>
    </message>
</context>
<context>
    <name>IDD_SERIAL_PAGE</name>
    <message>
        <source>Serial</source>
        <translation>串口</translation>
    </message>
    <message>
        <source>Ba&amp;udrate:</source>
        <translation>波特率(&amp;U):</translation>
    </message>
    <message>
        <source>&amp;Parity:</source>
        <translation>校验(&amp;P):</translation>
    </message>
    <message>
        <source>General</source>
        <translation>常规</translation>
    </message>
    <message>
        <source>bps</source>
        <translation>bps</translation>
    </message>
    <message>
        <source>&amp;Data Bit:</source>
        <translation>数据位(&amp;D):</translation>
    </message>
    <message>
        <source>&amp;Stop Bit:</source>
        <translation>停止位(&amp;S):</translation>
    </message>
    <message>
        <source>&amp;Flow Ctrl:</source>
        <translation>流控制(&amp;F):</translation>
    </message>
</context>
<context>
    <name>IDD_TRAN_PAGE</name>
    <message>
        <source>Conversion</source>
        <translation>转换</translation>
    </message>
    <message>
        <source>Allow a serial frames to contain CAN Frame ID</source>
        <translation>允许串行帧包含 CAN 帧 ID</translation>
    </message>
    <message>
        <source>Allow a serial frame to contain CAN Frame Information</source>
        <translation>允许串行帧包含 CAN 帧信息</translation>
    </message>
    <message>
        <source>Position of CAN Frame ID</source>
        <translation>CAN 帧 ID 的位置</translation>
    </message>
    <message>
        <source>&amp;Offset:</source>
        <translation>偏移(&amp;O):</translation>
    </message>
    <message>
        <source>&amp;Length:</source>
        <translation>长度(&amp;L):</translation>
    </message>
    <message>
        <source>Conversion &amp;Mode:</source>
        <translation>转换模式(&amp;M):</translation>
    </message>
    <message>
        <source>Conversion &amp;Direction:</source>
        <translation>转换方向(&amp;D):</translation>
    </message>
    <message>
        <source>General</source>
        <translation>常规</translation>
    </message>
    <message>
        <source>&amp;Interval between two frames:</source>
        <translation>两帧之间的间隔(&amp;I):</translation>
    </message>
    <message>
        <source>characters</source>
        <translation>字符</translation>
    </message>
</context>
<context>
    <name>NetworkPort</name>
    <message>
        <source>the host &quot;%1&quot; is unknown (%2)</source>
        <translation>主机“%1”未知（%2）</translation>
    </message>
    <message>
        <source>the server at %1 refused the connection: nothing listens on that port</source>
        <translation>%1 上的服务器拒绝了连接：该端口上没有服务在监听</translation>
    </message>
    <message>
        <source>the server at %1 did not answer within %2 s</source>
        <translation>%1 上的服务器在 %2 秒内没有应答</translation>
    </message>
    <message>
        <source>the server at %1 cannot be reached (%2)</source>
        <translation>无法访问 %1 上的服务器（%2）</translation>
    </message>
    <message>
        <source>the connection to %1 failed (%2)</source>
        <translation>与 %1 的连接失败（%2）</translation>
    </message>
    <message>
        <source>the connection to %1 was lost</source>
        <translation>与 %1 的连接已断开</translation>
    </message>
    <message>
        <source>the server at %1 closed the connection at once: it may serve another client (a serial device server takes one client per port)</source>
        <translation>%1 上的服务器立即关闭了连接：它可能正在为另一个客户端服务（串口设备服务器每个端口只接受一个客户端）</translation>
    </message>
    <message>
        <source>the server at %1 turned the connection away (&quot;%2&quot;): another program is connected to it (a serial device server takes one client per port)</source>
        <translation>%1 上的服务器拒绝了连接（“%2”）：另一个程序已连接到它（串口设备服务器每个端口只接受一个客户端）</translation>
    </message>
    <message>
        <source>raw TCP: the line runs at the settings of the server at %1, not at the model&apos;s bit rate</source>
        <translation>原始 TCP：线路使用 %1 上服务器的设置运行，而不是该型号的波特率</translation>
    </message>
    <message>
        <source>no parity</source>
        <translation>无校验</translation>
    </message>
    <message>
        <source>odd parity</source>
        <translation>奇校验</translation>
    </message>
    <message>
        <source>even parity</source>
        <translation>偶校验</translation>
    </message>
    <message>
        <source>mark parity</source>
        <translation>标记校验</translation>
    </message>
    <message>
        <source>space parity</source>
        <translation>空格校验</translation>
    </message>
    <message>
        <source>1.5 stop bits</source>
        <translation>1.5 个停止位</translation>
    </message>
    <message>
        <source>2 stop bits</source>
        <translation>2 个停止位</translation>
    </message>
    <message>
        <source>1 stop bit</source>
        <translation>1 个停止位</translation>
    </message>
    <message>
        <source>the server at %1 refused the COM-PORT option: it is no RFC 2217 port (for a raw TCP port use socket://%1)</source>
        <translation>%1 上的服务器拒绝了 COM-PORT 选项：它不是 RFC 2217 端口（原始 TCP 端口请使用 socket://%1）</translation>
    </message>
    <message>
        <source>the server at %1 did not answer the Telnet negotiation: it is no RFC 2217 port (for a raw TCP port use socket://%1)</source>
        <translation>%1 上的服务器没有应答 Telnet 协商：它不是 RFC 2217 端口（原始 TCP 端口请使用 socket://%1）</translation>
    </message>
    <message>
        <source>%1 bit/s</source>
        <translation>%1 bit/s</translation>
    </message>
    <message>
        <source>%1 data bits</source>
        <translation>%1 个数据位</translation>
    </message>
    <message>
        <source>the server at %1 did not take %2</source>
        <translation>%1 上的服务器不接受 %2</translation>
    </message>
    <message>
        <source>the server at %1 did not confirm that flow control is off (SET-CONTROL)</source>
        <translation>%1 上的服务器没有确认已关闭流控制（SET-CONTROL）</translation>
    </message>
    <message>
        <source>the server at %1 did not confirm that it emptied its buffers (PURGE-DATA)</source>
        <translation>%1 上的服务器没有确认已清空其缓冲区（PURGE-DATA）</translation>
    </message>
</context>
<context>
    <name>OpenFailure</name>
    <message>
        <source>a program</source>
        <translation>某个程序</translation>
    </message>
    <message>
        <source>%1 (process %2)</source>
        <translation>%1（进程 %2）</translation>
    </message>
    <message>
        <source>no device</source>
        <translation>无设备</translation>
    </message>
    <message>
        <source>%1 is %2: %3.</source>
        <translation>%1 是 %2：%3。</translation>
    </message>
    <message>
        <source>%1 is %2 (through the port map&apos;s %3): %4.</source>
        <translation>%1 是 %2（经由端口映射的 %3）：%4。</translation>
    </message>
    <message>
        <source>The device is %1.</source>
        <translation>设备是 %1。</translation>
    </message>
    <message>
        <source>The system says: %1.</source>
        <translation>系统提示：%1。</translation>
    </message>
    <message>
        <source>Your user may not open the device.</source>
        <translation>当前用户无权打开该设备。</translation>
    </message>
    <message>
        <source>The device is not present: the adapter may be unplugged, or the port map points nowhere. Choose &quot;Ports...&quot; in the window&apos;s context menu (Ctrl+P) to see and change which device each COM number is.</source>
        <translation>设备不存在：适配器可能已拔出，或端口映射指向不存在的设备。请在窗口的右键菜单中选择“端口...”（Ctrl+P）查看和更改每个 COM 号对应的设备。</translation>
    </message>
    <message>
        <source>The port is in use by %1. Close it there, or choose another port.</source>
        <translation>该端口正被 %1 使用。请在那里关闭它，或选择其他端口。</translation>
    </message>
    <message>
        <source>another program</source>
        <translation>另一个程序</translation>
    </message>
    <message>
        <source>The device does not respond: an on-board port without a UART, or a failing adapter.</source>
        <translation>设备没有响应：可能是没有 UART 的板载端口，或适配器故障。</translation>
    </message>
    <message>
        <source>The port is not present: the adapter may be unplugged, or it has another COM number. The Device Manager lists the ports under &quot;Ports (COM &amp; LPT)&quot;.</source>
        <translation>端口不存在：适配器可能已拔下，或者它的 COM 编号不同。设备管理器在“端口 (COM 和 LPT)”下列出各端口。</translation>
    </message>
    <message>
        <source>Its mode is %1, owner %2, group %3.</source>
        <translation>其权限为 %1，所有者 %2，组 %3。</translation>
    </message>
    <message>
        <source>Members of the group &quot;%1&quot; may read and write it; join it with
    sudo usermod -aG %1 $USER
then log out and in again.</source>
        <translation>组“%1”的成员可以读写该设备；用以下命令加入该组：
    sudo usermod -aG %1 $USER
然后注销并重新登录。</translation>
    </message>
    <message>
        <source>Its mode lets every user read and write it, so something else refuses: a security policy (AppArmor, SELinux) or the device rules of a container. Ask the administrator.</source>
        <translation>其权限允许所有用户读写，因此拒绝来自别处：安全策略（AppArmor、SELinux）或容器的设备规则。请向管理员询问。</translation>
    </message>
    <message>
        <source>Its group is root, which is not a group to join for a serial port.</source>
        <translation>其组为 root，不应为使用串口而加入该组。</translation>
    </message>
    <message>
        <source>Members of its group &quot;%1&quot; may not read and write it either.</source>
        <translation>其组“%1”的成员同样无权读写该设备。</translation>
    </message>
    <message>
        <source>Ask the administrator for access.</source>
        <translation>请向管理员申请访问权限。</translation>
    </message>
    <message>
        <source>A udev rule can give it to the group &quot;%1&quot;: as root, put the line
    %2
into %3, plug the adapter in again (or run udevadm trigger), then
    sudo usermod -aG %1 $USER
and log out and in again. Or ask the administrator for access.</source>
        <translation>可用一条 udev 规则把它交给组“%1”：以 root 身份把这一行
    %2
写入 %3，重新插上适配器（或运行 udevadm trigger），然后运行
    sudo usermod -aG %1 $USER
并注销后重新登录。也可以向管理员申请访问权限。</translation>
    </message>
    <message>
        <source>%1 (process %2, lock file %3)</source>
        <translation>%1（进程 %2，锁文件 %3）</translation>
    </message>
    <message>
        <source>%1 is %2.</source>
        <translation>%1 是 %2。</translation>
    </message>
    <message>
        <source>%1 is %2 (through the port map&apos;s %3).</source>
        <translation>%1 是 %2（经由端口映射的 %3）。</translation>
    </message>
</context>
<context>
    <name>Ports</name>
    <message>
        <source>USB modem-class serial device</source>
        <translation>USB 调制解调器类串口设备</translation>
    </message>
    <message>
        <source>USB serial adapter</source>
        <translation>USB 串口适配器</translation>
    </message>
    <message>
        <source>on-board serial port</source>
        <translation>板载串口</translation>
    </message>
    <message>
        <source>serial device</source>
        <translation>串口设备</translation>
    </message>
    <message>
        <source>LINKMATE virtual converter (process %1)</source>
        <translation>LINKMATE 虚拟转换器（进程 %1）</translation>
    </message>
    <message>
        <source>only COM1 to COM8 can be mapped</source>
        <translation>只能映射 COM1 到 COM8</translation>
    </message>
    <message>
        <source>not present (left by a virtual converter that no longer runs)</source>
        <translation>不存在（由已不再运行的虚拟转换器留下）</translation>
    </message>
    <message>
        <source>not present (adapter unplugged, or the map points nowhere)</source>
        <translation>不存在（适配器已拔出，或映射指向不存在的设备）</translation>
    </message>
    <message>
        <source>on-board serial port (no adapter assigned)</source>
        <translation>板载串口（未分配适配器）</translation>
    </message>
    <message>
        <source>not present (no adapter assigned)</source>
        <translation>不存在（未分配适配器）</translation>
    </message>
    <message>
        <source>%1 is not a device that is present</source>
        <translation>%1 不是存在的设备</translation>
    </message>
    <message>
        <source>the port map cannot be written: %1</source>
        <translation>端口映射无法写入：%1</translation>
    </message>
    <message>
        <source>%1 is not a link; it is left alone</source>
        <translation>%1 不是链接；保持不变</translation>
    </message>
    <message>
        <source>cannot remove %1: %2</source>
        <translation>无法删除 %1：%2</translation>
    </message>
    <message>
        <source>Windows assigns the COM numbers itself: change them in the Device Manager (Ports (COM &amp; LPT), the port&apos;s Properties, Port Settings, Advanced).</source>
        <translation>Windows 自行分配 COM 编号：请在设备管理器中更改（端口 (COM 和 LPT)，该端口的属性，端口设置，高级）。</translation>
    </message>
    <message>
        <source>not present</source>
        <translation>不存在</translation>
    </message>
    <message>
        <source>Bluetooth serial link</source>
        <translation>蓝牙串行链路</translation>
    </message>
    <message>
        <source>serial port</source>
        <translation>串口</translation>
    </message>
    <message>
        <source>serial device server (RFC 2217)</source>
        <translation>串口设备服务器（RFC 2217）</translation>
    </message>
    <message>
        <source>serial device server (raw TCP)</source>
        <translation>串口设备服务器（原始 TCP）</translation>
    </message>
    <message>
        <source>%1 (the port map&apos;s entry &quot;%2&quot; is not an address)</source>
        <translation>%1（端口映射的条目“%2”不是地址）</translation>
    </message>
    <message>
        <source>%1 (the system has this port: the port map&apos;s %2 is not used)</source>
        <translation>%1（系统有此端口：端口映射的 %2 未被使用）</translation>
    </message>
    <message>
        <source>COM%1 is a port of this system and stays one: point a COM number the system does not have at the server.</source>
        <translation>COM%1 是本系统的端口，且保持不变：请将系统没有的 COM 编号指向该服务器。</translation>
    </message>
    <message>
        <source>the port map %1 cannot be written: %2</source>
        <translation>端口映射 %1 无法写入：%2</translation>
    </message>
</context>
<context>
    <name>Profile</name>
    <message>
        <source>cannot create a file in %1</source>
        <translation>无法在 %1 中创建文件</translation>
    </message>
    <message>
        <source>cannot write %1</source>
        <translation>无法写入 %1</translation>
    </message>
    <message>
        <source>cannot replace %1</source>
        <translation>无法替换 %1</translation>
    </message>
    <message>
        <source>the profile&apos;s lock cannot be taken</source>
        <translation>无法获取用户配置的锁</translation>
    </message>
    <message>
        <source>the profile is locked by another program</source>
        <translation>用户配置已被另一个程序锁定</translation>
    </message>
    <message>
        <source>there is no per-user configuration folder (neither XDG_CONFIG_HOME nor HOME is set)</source>
        <translation>没有用户配置目录（XDG_CONFIG_HOME 和 HOME 均未设置）</translation>
    </message>
    <message>
        <source>the registry key name cannot name a folder</source>
        <translation>注册表键名不能用作目录名</translation>
    </message>
    <message>
        <source>the application name cannot name a profile file (empty, &quot;.&quot;, &quot;..&quot;, a slash or a control character)</source>
        <translation>应用程序名不能用作用户配置的文件名（为空、“.”、“..”、含斜杠或控制字符）</translation>
    </message>
    <message>
        <source>cannot create the folder %1: %2</source>
        <translation>无法创建目录 %1：%2</translation>
    </message>
    <message>
        <source>cannot create the lock file %1</source>
        <translation>无法创建锁文件 %1</translation>
    </message>
    <message>
        <source>cannot read %1</source>
        <translation>无法读取 %1</translation>
    </message>
    <message>
        <source>%1 is not a regular file</source>
        <translation>%1 不是普通文件</translation>
    </message>
    <message>
        <source>the profile could not be written</source>
        <translation>用户配置无法写入</translation>
    </message>
    <message>
        <source>cannot open the registry key %1: %2</source>
        <translation>无法打开注册表项 %1：%2</translation>
    </message>
    <message>
        <source>cannot write the registry value %1: %2</source>
        <translation>无法写入注册表值 %1：%2</translation>
    </message>
</context>
<context>
    <name>QLineEdit</name>
    <message>
        <source>&amp;Paste</source>
        <translation>粘贴(&amp;P)</translation>
    </message>
</context>
<context>
    <name>SheetStatus</name>
    <message>
        <source>Not connected.</source>
        <translation>未连接。</translation>
    </message>
    <message>
        <source>%1 at %2 bit/s</source>
        <translation>%1，%2 bit/s</translation>
    </message>
    <message>
        <source>Connected to %1; %2.</source>
        <translation>已连接到 %1；%2。</translation>
    </message>
    <message>
        <source>The pages show the profile&apos;s values (nothing saved yet)</source>
        <translation>页面显示的是用户配置的值（尚未保存过）</translation>
    </message>
    <message>
        <source>The pages show the profile saved on %1</source>
        <translation>页面显示的是 %1 保存的用户配置</translation>
    </message>
    <message>
        <source>The pages show the factory values (Default), not written</source>
        <translation>页面显示的是出厂值（默认），尚未写入</translation>
    </message>
    <message>
        <source>The pages show what was read from the converter at %1</source>
        <translation>页面显示的是 %1 从转换器读取的值</translation>
    </message>
    <message>
        <source>The pages show what was written to the converter at %1</source>
        <translation>页面显示的是 %1 写入转换器的值</translation>
    </message>
    <message>
        <source>The pages show the file %1, not written</source>
        <translation>页面显示的是文件 %1 的值，尚未写入</translation>
    </message>
    <message>
        <source>, edited since</source>
        <translation>，此后已修改</translation>
    </message>
    <message>
        <source>%1.</source>
        <translation>%1。</translation>
    </message>
</context>
<context>
    <name>lists</name>
    <message>
        <source>No parity</source>
        <translation>无校验</translation>
    </message>
    <message>
        <source>Even</source>
        <translation>偶校验</translation>
    </message>
    <message>
        <source>Odd</source>
        <translation>奇校验</translation>
    </message>
    <message>
        <source>2 stop bits</source>
        <translation>2 个停止位</translation>
    </message>
    <message>
        <source>Hardware</source>
        <translation>硬件</translation>
    </message>
    <message>
        <source>None</source>
        <translation>无</translation>
    </message>
    <message>
        <source>Custom</source>
        <translation>自定义</translation>
    </message>
    <message>
        <source>Standard Frame</source>
        <translation>标准帧</translation>
    </message>
    <message>
        <source>Extended Frame</source>
        <translation>扩展帧</translation>
    </message>
    <message>
        <source>Dual</source>
        <translation>双滤波</translation>
    </message>
    <message>
        <source>Single</source>
        <translation>单滤波</translation>
    </message>
    <message>
        <source>Transparent</source>
        <translation>透明转换</translation>
    </message>
    <message>
        <source>Transparent with ID</source>
        <translation>带标识的透明转换</translation>
    </message>
    <message>
        <source>MODBUS Convert</source>
        <translation>MODBUS 转换</translation>
    </message>
    <message>
        <source>Dual Direction</source>
        <translation>双向</translation>
    </message>
    <message>
        <source>Serial → CAN</source>
        <translation>串口 → CAN</translation>
    </message>
    <message>
        <source>Serial ← CAN</source>
        <translation>串口 ← CAN</translation>
    </message>
</context>
<context>
    <name>strings</name>
    <message>
        <source>About LINKMATE(&amp;A)...</source>
        <translation>关于 LINKMATE(&amp;A)...</translation>
    </message>
    <message>
        <source>Trellian v2.0</source>
        <translation>Trellian v2.0</translation>
    </message>
    <message>
        <source>Configration</source>
        <translation>配置</translation>
    </message>
</context>
</TS>
