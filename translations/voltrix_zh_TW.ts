<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_TW">
<context>
    <name>AboutBox</name>
    <message>
        <source>About %1</source>
        <translation>關於 %1</translation>
    </message>
    <message>
        <source>Version :  </source>
        <translation>版本 :  </translation>
    </message>
    <message>
        <source>System Language ID : </source>
        <translation>系統語言 ID : </translation>
    </message>
    <message>
        <source>&amp;System Info...</source>
        <translation>系統資訊(&amp;S)...</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>確定</translation>
    </message>
    <message>
        <source>System Information Is Unavailable At This Time</source>
        <translation>目前無法取得系統資訊</translation>
    </message>
</context>
<context>
    <name>AlarmLimits</name>
    <message>
        <source>Data entry error ! </source>
        <translation>輸入值錯誤！ </translation>
    </message>
</context>
<context>
    <name>CommandLine</name>
    <message>
        <source>Records the readings of up to six clamp meters from their radio receiver.</source>
        <translation>透過無線接收器記錄最多 6 台鉤錶的讀值。</translation>
    </message>
    <message>
        <source>The devices behind COM 1, COM 2, ... (comma separated; default: $VOLTRIX_PORTS, else the system&apos;s ports).</source>
        <translation>COM 1、COM 2 … 所對應的裝置（以逗號分隔；預設：$VOLTRIX_PORTS，否則為系統的連接埠）。</translation>
    </message>
    <message>
        <source>Start the built-in simulated receiver (six meters) and put it first in the port list.</source>
        <translation>啟動內建的模擬接收器（6 台電錶），並放在連接埠清單的第一個。</translation>
    </message>
    <message>
        <source>Press Start once the window is up.</source>
        <translation>視窗開啟後按下「開始」。</translation>
    </message>
    <message>
        <source>Press Stop after this many seconds of recording.</source>
        <translation>記錄達指定秒數後按下「停止」。</translation>
    </message>
    <message>
        <source>After Stop (or after --open), write the record to FILE: .xlsx a workbook as Save Data writes it, .csv the table as RFC 4180 CSV in UTF-8.</source>
        <translation>停止後（或 --open 之後）將記錄寫入 FILE：.xlsx 為與「儲存資料」相同的活頁簿，.csv 為 UTF-8 的 RFC 4180 CSV 表格。</translation>
    </message>
    <message>
        <source>Open the record of a workbook (.xlsx or .xls) at start, as Open does.</source>
        <translation>啟動時如「開啟」一樣開啟活頁簿（.xlsx 或 .xls）中的記錄。</translation>
    </message>
    <message>
        <source>After Stop, save the graph page shown as Save Graph does (.bmp, .jpg, .png or .svg by the name&apos;s extension).</source>
        <translation>停止後如「儲存圖表」一樣儲存目前顯示的圖表頁（依副檔名為 .bmp、.jpg、.png 或 .svg）。</translation>
    </message>
    <message>
        <source>After Stop, print the table into the PDF file FILE.</source>
        <translation>停止後將表格列印到 PDF 檔 FILE。</translation>
    </message>
    <message>
        <source>After Stop, print the graph page shown into the PDF file FILE.</source>
        <translation>停止後將目前顯示的圖表頁列印到 PDF 檔 FILE。</translation>
    </message>
    <message>
        <source>The language of the windows: en, ja or zh_TW (default: the one chosen in Options, else the system&apos;s).</source>
        <translation>視窗的語言：en、ja 或 zh_TW（預設：在 Options 中選擇的語言，否則為系統語言）。</translation>
    </message>
    <message>
        <source>Exit when done.</source>
        <translation>完成後結束程式。</translation>
    </message>
    <message>
        <source>
Unattended runs (--record or --quit) never wait on a question; each question is printed to
standard error and answered by rule:
  &quot;Time out! Continue to receive data now? &quot;   Yes, keep recording
  &quot;Clear record!&quot;                               Yes
  &quot;Save File!&quot; (the record has not been saved)  No; --output writes the record
    (also when the program closes)
  &quot;Not any record !&quot;, &quot;Not any graph!&quot;          the output named fails (exit status 2)
  any other Yes/No question                     No
  messages with an OK button                    OK
  file dialogs                                  cancelled
A record left unsaved when Voltrix last ended is recovered and saved without asking. A record
that could not be written (to --output, or by an automatic or recovering save) keeps its journal
for the next start, whatever the save question is answered, and the exit status is 2.
SIGTERM and SIGHUP end an unattended run as --quit does after Stop: what was asked for is
written first.
Exit status: 0 done, 1 no recording could be started, 2 the output could not be written,
3 the workbook given to --open could not be read; 2 also for an option or value that cannot
be used (nothing is started then). A broker that cannot be reached never stops the recording:
it is told once on standard error and reconnected by itself.</source>
        <translation>
無人值守執行（--record 或 --quit）不會停下來等待回答；每個問題都會印到標準錯誤輸出，
並依下列規則回答：
  「逾時！要繼續接收資料嗎？ 」            是（繼續記錄）
  「清除記錄！」                           是
  「儲存檔案！」（記錄尚未儲存時）         否；記錄由 --output 寫出
    （程式結束時亦同）
  「沒有任何記錄！」、「沒有任何圖表！」   指定的輸出失敗（結束代碼 2）
  其他是/否問題                            否
  只有「確定」按鈕的訊息                   確定
  檔案對話方塊                             取消
上次結束時未儲存的記錄會自動復原並儲存，不另行詢問。無法寫出的記錄（--output、自動儲存
或復原時的儲存）不論儲存問題如何回答，都會保留其日誌檔供下次啟動使用，結束代碼為 2。
SIGTERM 與 SIGHUP 會如同 --quit 在停止後那樣結束無人值守執行：先寫出所要求的輸出。
結束代碼：0 完成，1 無法開始記錄，2 無法寫出輸出，
3 無法讀取 --open 指定的活頁簿；選項或值無法使用時也是 2
（此時不會啟動任何東西）。無法連上代理伺服器時記錄不會停止：只在標準錯誤輸出告知一次，
並自動重新連線。</translation>
    </message>
    <message>
        <source>The graph view shown, printed and saved: main (the main channel&apos;s page, the default) or all (a lane for every channel).</source>
        <translation>顯示、列印與儲存的圖表檢視：main（主通道的頁面，預設）或 all（每個通道各一列）。</translation>
    </message>
    <message>
        <source>whole: the graph shows the whole record.</source>
        <translation>whole：圖表顯示整筆記錄。</translation>
    </message>
    <message>
        <source>Publish every recorded sample to this MQTT broker: mqtt://[user[:password]@]host[:port] (port 1883) or mqtts://... (TLS, port 8883). The password may also come from $VOLTRIX_MQTT_PASSWORD.</source>
        <translation>將每筆記錄的讀值發布到此 MQTT 代理伺服器：mqtt://[user[:password]@]host[:port]（連接埠 1883）或 mqtts://...（TLS，連接埠 8883）。密碼也可由 $VOLTRIX_MQTT_PASSWORD 提供。</translation>
    </message>
    <message>
        <source>The topics&apos; prefix (default voltrix/&lt;host name&gt;).</source>
        <translation>主題的前置詞（預設 voltrix/&lt;主機名稱&gt;）。</translation>
    </message>
    <message>
        <source>Home Assistant discovery (default on).</source>
        <translation>Home Assistant 自動探索（預設 on）。</translation>
    </message>
    <message>
        <source>Quality of service of the readings (default 0).</source>
        <translation>讀值的服務品質 QoS（預設 0）。</translation>
    </message>
    <message>
        <source>The CA certificate of an mqtts:// broker (default: the system&apos;s CA certificates).</source>
        <translation>mqtts:// 代理伺服器的 CA 憑證（預設：系統的 CA 憑證）。</translation>
    </message>
    <message>
        <source>Write every recorded sample to standard output as it is recorded: a JSON object a line, or CSV after a header line. Every other message goes to standard error.</source>
        <translation>每記錄一筆讀值就寫到標準輸出：每行一個 JSON 物件，或標題列之後的 CSV。其他所有訊息都寫到標準錯誤輸出。</translation>
    </message>
    <message>
        <source>--mqtt-discovery takes on or off</source>
        <translation>--mqtt-discovery 只接受 on 或 off</translation>
    </message>
    <message>
        <source>--mqtt-qos takes 0 or 1</source>
        <translation>--mqtt-qos 只接受 0 或 1</translation>
    </message>
    <message>
        <source>--stream takes jsonl or csv</source>
        <translation>--stream 只接受 jsonl 或 csv</translation>
    </message>
    <message>
        <source>publishing is off: %1</source>
        <translation>傳送已關閉：%1</translation>
    </message>
    <message>
        <source>After Stop (or after --open), write the energy table to FILE as RFC 4180 CSV: a row per current channel (Ch1..Ch6) and a row Total, with kWh, average W, seconds covered and cost; after Stop the run&apos;s since Start.</source>
        <translation>Stop 之後（或 --open 之後）將電能表格以 RFC 4180 CSV 寫入 FILE：每個電流通道一列（Ch1..Ch6）及一列 Total，含 kWh、平均 W、涵蓋秒數與費用；Stop 之後為從 Start 起整個執行的電能。</translation>
    </message>
</context>
<context>
    <name>EnergyPairing</name>
    <message>
        <source>The voltage, the power factor and the unit price must be numbers of 0 or more.</source>
        <translation>電壓、功率因數與單價必須是 0 以上的數字。</translation>
    </message>
    <message>
        <source>Channel %1 cannot take its voltage from itself.</source>
        <translation>通道 %1 不能從自己取電壓。</translation>
    </message>
    <message>
        <source>Channel %1 cannot take its voltage from channel %2, which measures a current.</source>
        <translation>通道 %1 不能從通道 %2 取電壓，通道 %2 量測的是電流。</translation>
    </message>
    <message>
        <source>Channel %1 cannot take its voltage from channel %2, which measures no voltage.</source>
        <translation>通道 %1 不能從通道 %2 取電壓，通道 %2 量測的不是電壓。</translation>
    </message>
</context>
<context>
    <name>EnergyTable</name>
    <message>
        <source>Total</source>
        <translation>總計</translation>
    </message>
    <message>
        <source>Channel</source>
        <translation>通道</translation>
    </message>
    <message>
        <source>Voltage</source>
        <translation>電壓</translation>
    </message>
    <message>
        <source>kWh</source>
        <translation>kWh</translation>
    </message>
    <message>
        <source>Average W</source>
        <translation>平均 W</translation>
    </message>
    <message>
        <source>Cost</source>
        <translation>費用</translation>
    </message>
    <message>
        <source>Time ( d : h : m : s )</source>
        <translation>時間（日：時：分：秒）</translation>
    </message>
</context>
<context>
    <name>FmAbout</name>
    <message>
        <source>System Information</source>
        <translation>系統資訊</translation>
    </message>
</context>
<context>
    <name>FmGraph</name>
    <message>
        <source>Graph</source>
        <translation>圖表</translation>
    </message>
    <message>
        <source>Previous page</source>
        <translation>上一頁</translation>
    </message>
    <message>
        <source>Next page</source>
        <translation>下一頁</translation>
    </message>
</context>
<context>
    <name>FmGrid</name>
    <message>
        <source>Table</source>
        <translation>表格</translation>
    </message>
</context>
<context>
    <name>FmMonitor</name>
    <message>
        <source>Monitor</source>
        <translation>監視器</translation>
    </message>
    <message>
        <source>Main Record</source>
        <translation>主記錄</translation>
    </message>
    <message>
        <source>File </source>
        <translation>檔案 </translation>
    </message>
    <message>
        <source>Received Channels     </source>
        <translation>接收通道數     </translation>
    </message>
    <message>
        <source>Main Display </source>
        <translation>主顯示 </translation>
    </message>
    <message>
        <source>Type </source>
        <translation>量測功能 </translation>
    </message>
    <message>
        <source>Serial Number</source>
        <translation>序號</translation>
    </message>
    <message>
        <source>Place</source>
        <translation>位置</translation>
    </message>
    <message>
        <source>Current Setting</source>
        <translation>目前設定</translation>
    </message>
    <message>
        <source>Interval</source>
        <translation>量測間隔</translation>
    </message>
    <message>
        <source>Hi</source>
        <translation>上限</translation>
    </message>
    <message>
        <source>Low</source>
        <translation>下限</translation>
    </message>
    <message>
        <source>Value</source>
        <translation>數值</translation>
    </message>
    <message>
        <source>Unit</source>
        <translation>單位</translation>
    </message>
    <message>
        <source>Time</source>
        <translation>時間</translation>
    </message>
    <message>
        <source>Avg</source>
        <translation>平均</translation>
    </message>
    <message>
        <source>Max</source>
        <translation>最大</translation>
    </message>
    <message>
        <source>Min</source>
        <translation>最小</translation>
    </message>
</context>
<context>
    <name>FmPower</name>
    <message>
        <source>Energy of the record</source>
        <translation>記錄的電能</translation>
    </message>
    <message>
        <source>Energy since Start</source>
        <translation>從 Start 起的電能</translation>
    </message>
</context>
<context>
    <name>Fmoption</name>
    <message>
        <source>Option</source>
        <translation>選項</translation>
    </message>
    <message>
        <source>Default</source>
        <translation>預設值</translation>
    </message>
    <message>
        <source>Display value fore color</source>
        <translation>顯示值文字顏色</translation>
    </message>
    <message>
        <source>Display back color</source>
        <translation>顯示背景顏色</translation>
    </message>
    <message>
        <source>Monitor</source>
        <translation>監視器</translation>
    </message>
    <message>
        <source>Graph back color  </source>
        <translation>圖表背景顏色  </translation>
    </message>
    <message>
        <source>Scale color</source>
        <translation>刻度顏色</translation>
    </message>
    <message>
        <source>Graph  Title :</source>
        <translation>圖表標題 :</translation>
    </message>
    <message>
        <source>Graph</source>
        <translation>圖表</translation>
    </message>
    <message>
        <source>Grid Lines</source>
        <translation>格線</translation>
    </message>
    <message>
        <source>GridFlat</source>
        <translation>平面</translation>
    </message>
    <message>
        <source>GridInset</source>
        <translation>凹陷</translation>
    </message>
    <message>
        <source>GridRaised</source>
        <translation>凸起</translation>
    </message>
    <message>
        <source>Data Row Back Color</source>
        <translation>資料列背景顏色</translation>
    </message>
    <message>
        <source>Table</source>
        <translation>表格</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>確定</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>取消</translation>
    </message>
    <message>
        <source>System language</source>
        <translation>系統語言</translation>
    </message>
    <message>
        <source>Language :</source>
        <translation>語言 :</translation>
    </message>
    <message>
        <source>A new language takes effect at the next start.</source>
        <translation>變更的語言將在下次啟動時生效。</translation>
    </message>
</context>
<context>
    <name>GraphImageExport</name>
    <message>
        <source>The graph has no size.</source>
        <translation>圖表沒有大小。</translation>
    </message>
    <message>
        <source>The graph could not be saved to %1.
%2</source>
        <translation>無法將圖表儲存到 %1。
%2</translation>
    </message>
</context>
<context>
    <name>GraphView</name>
    <message>
        <source>Main channel</source>
        <translation>主通道</translation>
    </message>
    <message>
        <source>All channels</source>
        <translation>所有通道</translation>
    </message>
    <message>
        <source>Whole record</source>
        <translation>整筆記錄</translation>
    </message>
    <message>
        <source>Zoom in</source>
        <translation>放大</translation>
    </message>
    <message>
        <source>Zoom out</source>
        <translation>縮小</translation>
    </message>
</context>
<context>
    <name>HelpDocuments</name>
    <message>
        <source>No program could open the document %1.</source>
        <translation>沒有程式可以開啟文件 %1。</translation>
    </message>
</context>
<context>
    <name>LinkLossWatch</name>
    <message>
        <source>Link lost %1</source>
        <translation>連線中斷 %1</translation>
    </message>
    <message>
        <source>Link lost once, %1</source>
        <translation>連線中斷 1 次，%1</translation>
    </message>
    <message>
        <source>Link lost %1 times, %2</source>
        <translation>連線中斷 %1 次，%2</translation>
    </message>
</context>
<context>
    <name>LinkProber</name>
    <message>
        <source>Link error ! Please check your connector.</source>
        <translation>連線錯誤！請檢查接頭。</translation>
    </message>
</context>
<context>
    <name>Menu</name>
    <message>
        <source>&amp;File</source>
        <translation>檔案(&amp;F)</translation>
    </message>
    <message>
        <source>&amp;Open</source>
        <translation>開啟(&amp;O)</translation>
    </message>
    <message>
        <source>&amp;Save</source>
        <translation>儲存(&amp;S)</translation>
    </message>
    <message>
        <source>Save &amp;Data</source>
        <translation>儲存資料(&amp;D)</translation>
    </message>
    <message>
        <source>Save &amp;Graph</source>
        <translation>儲存圖表(&amp;G)</translation>
    </message>
    <message>
        <source>&amp;Print</source>
        <translation>列印(&amp;P)</translation>
    </message>
    <message>
        <source>Print &amp;Data</source>
        <translation>列印資料(&amp;D)</translation>
    </message>
    <message>
        <source>Print &amp;Graph</source>
        <translation>列印圖表(&amp;G)</translation>
    </message>
    <message>
        <source>E&amp;xit</source>
        <translation>結束(&amp;X)</translation>
    </message>
    <message>
        <source>&amp;Setup</source>
        <translation>設定(&amp;S)</translation>
    </message>
    <message>
        <source>&amp;Edit</source>
        <translation>編輯(&amp;E)</translation>
    </message>
    <message>
        <source>&amp;Clear record</source>
        <translation>清除記錄(&amp;C)</translation>
    </message>
    <message>
        <source>&amp;View</source>
        <translation>檢視(&amp;V)</translation>
    </message>
    <message>
        <source>&amp;Table</source>
        <translation>表格(&amp;T)</translation>
    </message>
    <message>
        <source>&amp;Monitor</source>
        <translation>監視器(&amp;M)</translation>
    </message>
    <message>
        <source>&amp;Graph</source>
        <translation>圖表(&amp;G)</translation>
    </message>
    <message>
        <source>&amp;Electric Power Cost Monitor</source>
        <translation>電費監視器(&amp;E)</translation>
    </message>
    <message>
        <source>&amp;Record</source>
        <translation>記錄(&amp;R)</translation>
    </message>
    <message>
        <source>&amp;Connect</source>
        <translation>連線(&amp;C)</translation>
    </message>
    <message>
        <source>&amp;Start</source>
        <translation>開始(&amp;S)</translation>
    </message>
    <message>
        <source>&amp;Pause</source>
        <translation>暫停(&amp;P)</translation>
    </message>
    <message>
        <source>S&amp;top</source>
        <translation>停止(&amp;T)</translation>
    </message>
    <message>
        <source>&amp;Option</source>
        <translation>選項(&amp;O)</translation>
    </message>
    <message>
        <source>&amp;Window</source>
        <translation>視窗(&amp;W)</translation>
    </message>
    <message>
        <source>&amp;Arr_icons</source>
        <translation>排列圖示(&amp;A)</translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <translation>說明(&amp;H)</translation>
    </message>
    <message>
        <source>Voltrix User&apos;s &amp;Manual</source>
        <translation>Voltrix 使用說明書(&amp;M)</translation>
    </message>
    <message>
        <source>&amp;About</source>
        <translation>關於(&amp;A)</translation>
    </message>
    <message>
        <source>Skip</source>
        <translation>略過</translation>
    </message>
    <message>
        <source>P&amp;ublish readings</source>
        <translation>讀值傳送(&amp;U)</translation>
    </message>
    <message>
        <source>Main &amp;channel</source>
        <translation>主通道(&amp;C)</translation>
    </message>
    <message>
        <source>&amp;All channels</source>
        <translation>所有通道(&amp;A)</translation>
    </message>
    <message>
        <source>Zoom &amp;in</source>
        <translation>放大(&amp;I)</translation>
    </message>
    <message>
        <source>Zoom &amp;out</source>
        <translation>縮小(&amp;O)</translation>
    </message>
    <message>
        <source>&amp;Whole record</source>
        <translation>整筆記錄(&amp;W)</translation>
    </message>
</context>
<context>
    <name>MqttClient</name>
    <message>
        <source>off</source>
        <translation>關閉</translation>
    </message>
    <message>
        <source>cannot make an MQTT client</source>
        <translation>無法建立 MQTT 用戶端</translation>
    </message>
    <message>
        <source>TLS cannot be set up: %1</source>
        <translation>無法設定 TLS：%1</translation>
    </message>
    <message>
        <source>cannot start the MQTT client: %1</source>
        <translation>無法啟動 MQTT 用戶端：%1</translation>
    </message>
    <message>
        <source>connecting to %1</source>
        <translation>正在連線到 %1</translation>
    </message>
    <message>
        <source>TLS refused by %1: %2</source>
        <translation>與 %1 的 TLS 被拒絕：%2</translation>
    </message>
    <message>
        <source>cannot reach %1: %2</source>
        <translation>無法連上 %1：%2</translation>
    </message>
    <message>
        <source>%1 refused the connection: %2</source>
        <translation>%1 拒絕了連線：%2</translation>
    </message>
    <message>
        <source>connected to %1</source>
        <translation>已連線到 %1</translation>
    </message>
    <message>
        <source>no answer</source>
        <translation>沒有回應</translation>
    </message>
</context>
<context>
    <name>OpenRecord</name>
    <message>
        <source>Open File</source>
        <translation>開啟檔案</translation>
    </message>
</context>
<context>
    <name>PowerCostMonitor</name>
    <message>
        <source>Electric Power Cost Monitor</source>
        <translation>電費監視器</translation>
    </message>
    <message>
        <source>Channel:</source>
        <translation>通道:</translation>
    </message>
    <message>
        <source>Serial Number: </source>
        <translation>序號: </translation>
    </message>
    <message>
        <source>Place:</source>
        <translation>位置:</translation>
    </message>
    <message>
        <source>Unit Price</source>
        <translation>單價</translation>
    </message>
    <message>
        <source>Time ( d : h : m : s )</source>
        <translation>時間 (日:時:分:秒)</translation>
    </message>
    <message>
        <source>Electricity charges</source>
        <translation>電費</translation>
    </message>
    <message>
        <source>V</source>
        <translation>電壓 (V)</translation>
    </message>
    <message>
        <source>P.F</source>
        <translation>功率因數</translation>
    </message>
</context>
<context>
    <name>PowerFields</name>
    <message>
        <source>Input field</source>
        <translation>輸入欄位</translation>
    </message>
</context>
<context>
    <name>PrintTexts</name>
    <message>
        <source>Getting printer error. Make sure the printer is set up correctly.</source>
        <translation>印表機發生錯誤。請確認印表機設定正確。</translation>
    </message>
    <message>
        <source>Printer set up </source>
        <translation>印表機設定 </translation>
    </message>
    <message>
        <source>Not any record !</source>
        <translation>沒有任何記錄！</translation>
    </message>
    <message>
        <source>Not any record to print!</source>
        <translation>沒有可列印的記錄！</translation>
    </message>
    <message>
        <source>Not any graph!</source>
        <translation>沒有任何圖表！</translation>
    </message>
    <message>
        <source>Save File</source>
        <translation>儲存檔案</translation>
    </message>
    <message>
        <source>File Name : </source>
        <translation>檔案名稱 : </translation>
    </message>
    <message>
        <source>Page : </source>
        <translation>頁 : </translation>
    </message>
</context>
<context>
    <name>Prompts</name>
    <message>
        <source>%1 is not available in this version yet.</source>
        <translation>此版本尚無法使用「%1」。</translation>
    </message>
</context>
<context>
    <name>PublishDialog</name>
    <message>
        <source>Home Assistant discovery</source>
        <translation>Home Assistant 自動探索</translation>
    </message>
    <message>
        <source>Publish readings</source>
        <translation>讀值傳送</translation>
    </message>
    <message>
        <source>the system&apos;s CA certificates</source>
        <translation>系統的 CA 憑證</translation>
    </message>
    <message>
        <source>Broker (empty: off)</source>
        <translation>代理伺服器（空白：關閉）</translation>
    </message>
    <message>
        <source>Password</source>
        <translation>密碼</translation>
    </message>
    <message>
        <source>Topic prefix</source>
        <translation>主題前置詞</translation>
    </message>
    <message>
        <source>Quality of service</source>
        <translation>服務品質 (QoS)</translation>
    </message>
    <message>
        <source>CA file (mqtts)</source>
        <translation>CA 檔案 (mqtts)</translation>
    </message>
    <message>
        <source>Test</source>
        <translation>測試</translation>
    </message>
    <message>
        <source>no broker given</source>
        <translation>未指定代理伺服器</translation>
    </message>
</context>
<context>
    <name>PublishFeature</name>
    <message>
        <source>MQTT: %1</source>
        <translation>MQTT：%1</translation>
    </message>
</context>
<context>
    <name>PublishRules</name>
    <message>
        <source>the broker address does not parse: expected mqtt://[user[:password]@]host[:port] or mqtts://[user[:password]@]host[:port]</source>
        <translation>無法解析 broker 位址：應為 mqtt://[user[:password]@]host[:port] 或 mqtts://[user[:password]@]host[:port]</translation>
    </message>
    <message>
        <source>unknown scheme &quot;%1&quot;: use mqtt:// or mqtts://</source>
        <translation>未知的通訊協定「%1」：請使用 mqtt:// 或 mqtts://</translation>
    </message>
    <message>
        <source>the broker address names no host</source>
        <translation>broker 位址中沒有主機</translation>
    </message>
    <message>
        <source>the port must be a number from 1 to 65535</source>
        <translation>連接埠必須是 1 到 65535 的數字</translation>
    </message>
    <message>
        <source>the topic prefix is empty</source>
        <translation>主題前置字串是空的</translation>
    </message>
    <message>
        <source>the topic prefix must not hold +, # or a NUL character</source>
        <translation>主題前置字串不可包含 +、# 或 NUL 字元</translation>
    </message>
    <message>
        <source>the topic prefix must not be %1 or lie under it: Home Assistant&apos;s own topics are there</source>
        <translation>主題前置字串不可為 %1 或在其之下：那裡是 Home Assistant 自己的主題</translation>
    </message>
    <message>
        <source>the quality of service must be 0 or 1</source>
        <translation>QoS 必須是 0 或 1</translation>
    </message>
    <message>
        <source>cannot read the CA file %1: %2</source>
        <translation>無法讀取 CA 檔 %1：%2</translation>
    </message>
    <message>
        <source>it holds no PEM certificate</source>
        <translation>其中沒有 PEM 格式的憑證</translation>
    </message>
</context>
<context>
    <name>QFileDialog</name>
    <message>
        <source>%1 already exists.
Do you want to replace it?</source>
        <translation>%1 已經存在。
您要取代它嗎？</translation>
    </message>
</context>
<context>
    <name>QPrintDialog</name>
    <message>
        <source>Print</source>
        <translation>列印</translation>
    </message>
</context>
<context>
    <name>QtCurrentPrinter</name>
    <message>
        <source>No file was chosen to print to.</source>
        <translation>未選擇要列印到的檔案。</translation>
    </message>
    <message>
        <source>Cannot print to %1.
%2</source>
        <translation>無法列印到 %1。
%2</translation>
    </message>
    <message>
        <source>Cannot print on %1.
%2</source>
        <translation>無法在 %1 上列印。
%2</translation>
    </message>
</context>
<context>
    <name>QtSerialControl</name>
    <message>
        <source>Permission denied on %1. Add your user to the %2 group (sudo usermod -aG %2 $USER) and log in again.</source>
        <translation>%1 的存取被拒。請將您的使用者加入 %2 群組（sudo usermod -aG %2 $USER）後重新登入。</translation>
    </message>
    <message>
        <source>Permission denied on %1. Ask your administrator for access to this port.</source>
        <translation>%1 的存取被拒。請向系統管理員申請此連接埠的存取權限。</translation>
    </message>
    <message>
        <source>%1 does not exist.</source>
        <translation>%1 不存在。</translation>
    </message>
    <message>
        <source>%1 (%2) does not exist.</source>
        <translation>%1（%2）不存在。</translation>
    </message>
    <message>
        <source>%1 is in use by another program.</source>
        <translation>%1 正由其他程式使用中。</translation>
    </message>
    <message>
        <source>%1 could not be opened: %2 (%3).</source>
        <translation>無法開啟 %1：%2（%3）。</translation>
    </message>
</context>
<context>
    <name>QtSvgGraphWriter</name>
    <message>
        <source>The SVG drawing could not be started.</source>
        <translation>無法開始繪製 SVG。</translation>
    </message>
</context>
<context>
    <name>RecordImport</name>
    <message>
        <source>Open file</source>
        <translation>開啟檔案</translation>
    </message>
    <message>
        <source>Open file.....</source>
        <translation>正在開啟檔案.....</translation>
    </message>
</context>
<context>
    <name>RecordRecovery</name>
    <message>
        <source>The record %1 was not saved when Voltrix last ended. Recover it?</source>
        <translation>上次 Voltrix 結束時記錄 %1 尚未儲存。要復原嗎？</translation>
    </message>
    <message>
        <source>The recovered record %1 could not be saved (%2). It is kept in the table.</source>
        <translation>無法儲存復原的記錄 %1（%2）。記錄仍保留在表格中。</translation>
    </message>
</context>
<context>
    <name>RecordingControl</name>
    <message>
        <source>Real time data</source>
        <translation>即時資料</translation>
    </message>
    <message>
        <source>(Clear record ).  Recording! Do you want to clear?</source>
        <translation>（清除記錄）  正在記錄！要清除嗎？</translation>
    </message>
    <message>
        <source>Time out! Continue to receive data now? </source>
        <translation>逾時！要繼續接收資料嗎？ </translation>
    </message>
    <message>
        <source>Clear record!</source>
        <translation>清除記錄！</translation>
    </message>
    <message>
        <source>(%1).  This record didn&apos;t saved ! Do you want to save?</source>
        <translation>（%1）  此記錄尚未儲存！要儲存嗎？</translation>
    </message>
    <message>
        <source>Save File!</source>
        <translation>儲存檔案！</translation>
    </message>
    <message>
        <source>The record could not be saved automatically (%1). The recording was stopped; the record is kept in the table.</source>
        <translation>無法自動儲存記錄（%1）。已停止記錄；記錄仍保留在表格中。</translation>
    </message>
</context>
<context>
    <name>ScanWindow</name>
    <message>
        <source>Scan com port</source>
        <translation>掃描 COM 連接埠</translation>
    </message>
    <message>
        <source>Link up</source>
        <translation>連線中</translation>
    </message>
</context>
<context>
    <name>StartupFaults</name>
    <message>
        <source>Cannot read the settings file %1. Voltrix uses its default settings.</source>
        <translation>無法讀取設定檔 %1。Voltrix 將使用預設設定。</translation>
    </message>
    <message>
        <source>The settings file %1 is damaged. Voltrix uses the default of every setting it cannot read.</source>
        <translation>設定檔 %1 已損壞。無法讀取的設定將使用預設值。</translation>
    </message>
    <message>
        <source>Cannot read the label file %1 as text. The window title shows no label.</source>
        <translation>無法以文字讀取標籤檔 %1。視窗標題不會顯示標籤。</translation>
    </message>
</context>
<context>
    <name>StreamWriter</name>
    <message>
        <source>it had not caught up when the stream ended</source>
        <translation>串流結束時仍未趕上</translation>
    </message>
    <message>
        <source>stream: it ends (%1); the recording goes on</source>
        <translation>串流：結束（%1）；記錄照常繼續</translation>
    </message>
    <message>
        <source>the reader has gone</source>
        <translation>讀取端已離開</translation>
    </message>
    <message>
        <source>caught up at %1</source>
        <translation>已於 %1 趕上</translation>
    </message>
    <message>
        <source>stream: the reader fell behind: %1 lines dropped; %2</source>
        <translation>串流：讀取端落後，已捨棄 %1 行；%2</translation>
    </message>
</context>
<context>
    <name>SystemInfo</name>
    <message>
        <source>Operating system: </source>
        <translation>作業系統: </translation>
    </message>
    <message>
        <source>Kernel: </source>
        <translation>核心: </translation>
    </message>
    <message>
        <source>CPU architecture: </source>
        <translation>CPU 架構: </translation>
    </message>
    <message>
        <source>Qt version: </source>
        <translation>Qt 版本: </translation>
    </message>
    <message>
        <source>System language ID: </source>
        <translation>系統語言 ID: </translation>
    </message>
    <message>
        <source>Records folder: </source>
        <translation>記錄資料夾: </translation>
    </message>
    <message>
        <source>Settings file: </source>
        <translation>設定檔: </translation>
    </message>
    <message>
        <source>Serial ports:</source>
        <translation>序列埠:</translation>
    </message>
    <message>
        <source>  none found</source>
        <translation>  找不到</translation>
    </message>
    <message>
        <source>serial number </source>
        <translation>序號 </translation>
    </message>
</context>
<context>
    <name>Toolbar</name>
    <message>
        <source>Open</source>
        <translation>開啟</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>儲存</translation>
    </message>
    <message>
        <source>Print</source>
        <translation>列印</translation>
    </message>
    <message>
        <source>Monitor</source>
        <translation>監視器</translation>
    </message>
    <message>
        <source>Table</source>
        <translation>表格</translation>
    </message>
    <message>
        <source>Graph</source>
        <translation>圖表</translation>
    </message>
    <message>
        <source>Electric Power Cost Monitor</source>
        <translation>電費監視器</translation>
    </message>
    <message>
        <source>Connect</source>
        <translation>連線</translation>
    </message>
    <message>
        <source>Start</source>
        <translation>開始</translation>
    </message>
    <message>
        <source>Pause</source>
        <translation>暫停</translation>
    </message>
    <message>
        <source>Stop</source>
        <translation>停止</translation>
    </message>
    <message>
        <source>Help</source>
        <translation>說明</translation>
    </message>
</context>
<context>
    <name>TwipPage</name>
    <message>
        <source>The printer could not be started.</source>
        <translation>無法啟動印表機。</translation>
    </message>
    <message>
        <source>The printer could not finish the document.</source>
        <translation>印表機無法完成文件列印。</translation>
    </message>
</context>
<context>
    <name>WorkbookFormat</name>
    <message>
        <source>Excel File(*.xlsx *.xls)</source>
        <translation>Excel 檔案(*.xlsx *.xls)</translation>
    </message>
    <message>
        <source>Excel 2007 File(*.xlsx)</source>
        <translation>Excel 2007 檔案(*.xlsx)</translation>
    </message>
    <message>
        <source>Excel 97-2003 File(*.xls)</source>
        <translation>Excel 97-2003 檔案(*.xls)</translation>
    </message>
</context>
<context>
    <name>WorkbookImport</name>
    <message>
        <source>&quot;%1&quot; holds %2 sample rows, more than a record can hold: only the first %3 were loaded.</source>
        <translation>「%1」含有 %2 列量測資料，超過一筆記錄可容納的數量：只載入了前 %3 列。</translation>
    </message>
    <message>
        <source> This file is blank !</source>
        <translation> 此檔案是空的！</translation>
    </message>
</context>
<context>
    <name>WorkbookSaver</name>
    <message>
        <source>The record could not be saved in the records folder (%1). It was saved as %2.</source>
        <translation>無法將記錄儲存到記錄資料夾（%1）。已另存為 %2。</translation>
    </message>
    <message>
        <source>The record was not saved (%1).</source>
        <translation>記錄未儲存（%1）。</translation>
    </message>
    <message>
        <source>Not any record!</source>
        <translation>沒有任何記錄！</translation>
    </message>
    <message>
        <source>Save file</source>
        <translation>儲存檔案</translation>
    </message>
    <message>
        <source>Save file.....</source>
        <translation>正在儲存檔案.....</translation>
    </message>
    <message>
        <source>Save File</source>
        <translation>儲存檔案</translation>
    </message>
    <message>
        <source>Excel File(*.xlsx);;CSV File(*.csv)</source>
        <translation>Excel 檔案(*.xlsx);;CSV 檔案(*.csv)</translation>
    </message>
    <message>
        <source>The record %1 could not be saved automatically (%2).</source>
        <translation>無法自動儲存記錄 %1（%2）。</translation>
    </message>
    <message>
        <source> The recording was stopped.</source>
        <translation> 已停止記錄。</translation>
    </message>
    <message>
        <source> Its samples are kept in the journal %1, which the next start recovers.</source>
        <translation> 其讀值保留在日誌檔 %1 中，下次啟動時會復原。</translation>
    </message>
</context>
<context>
    <name>fmsetup</name>
    <message>
        <source>Setup</source>
        <translation>設定</translation>
    </message>
    <message>
        <source>Com port</source>
        <translation>COM 連接埠</translation>
    </message>
    <message>
        <source>Auto scan  com port</source>
        <translation>自動掃描 COM 連接埠</translation>
    </message>
    <message>
        <source>Select  port</source>
        <translation>選擇連接埠</translation>
    </message>
    <message>
        <source>Com %1</source>
        <translation>COM %1</translation>
    </message>
    <message>
        <source>Alarm setting</source>
        <translation>警報設定</translation>
    </message>
    <message>
        <source>Alarm  : </source>
        <translation>警報 : </translation>
    </message>
    <message>
        <source>Hi</source>
        <translation>上限</translation>
    </message>
    <message>
        <source>Low</source>
        <translation>下限</translation>
    </message>
    <message>
        <source>Unit :</source>
        <translation>單位 :</translation>
    </message>
    <message>
        <source>Graph scales</source>
        <translation>圖表刻度</translation>
    </message>
    <message>
        <source>Time axial scales : </source>
        <translation>時間軸刻度 : </translation>
    </message>
    <message>
        <source>Channel</source>
        <translation>通道</translation>
    </message>
    <message>
        <source>Display  Name</source>
        <translation>顯示名稱</translation>
    </message>
    <message>
        <source>Serial Number </source>
        <translation>序號 </translation>
    </message>
    <message>
        <source>Place</source>
        <translation>位置</translation>
    </message>
    <message>
        <source>Channel %1</source>
        <translation>通道 %1</translation>
    </message>
    <message>
        <source>Power rate</source>
        <translation>電費費率</translation>
    </message>
    <message>
        <source>V</source>
        <translation>電壓 (V)</translation>
    </message>
    <message>
        <source>P.F</source>
        <translation>功率因數</translation>
    </message>
    <message>
        <source>Unit price    </source>
        <translation>單價    </translation>
    </message>
    <message>
        <source>OK</source>
        <translation>確定</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>取消</translation>
    </message>
    <message>
        <source>Default</source>
        <translation>預設值</translation>
    </message>
    <message>
        <source>Voltage from</source>
        <translation>電壓來源</translation>
    </message>
</context>
</TS>
