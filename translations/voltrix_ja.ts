<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ja">
<context>
    <name>AboutBox</name>
    <message>
        <source>About %1</source>
        <translation>%1 のバージョン情報</translation>
    </message>
    <message>
        <source>Version :  </source>
        <translation>バージョン :  </translation>
    </message>
    <message>
        <source>System Language ID : </source>
        <translation>システム言語 ID : </translation>
    </message>
    <message>
        <source>&amp;System Info...</source>
        <translation>システム情報(&amp;S)...</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>System Information Is Unavailable At This Time</source>
        <translation>現在システム情報を取得できません</translation>
    </message>
</context>
<context>
    <name>AlarmLimits</name>
    <message>
        <source>Data entry error ! </source>
        <translation>入力値が正しくありません！ </translation>
    </message>
</context>
<context>
    <name>CommandLine</name>
    <message>
        <source>Records the readings of up to six clamp meters from their radio receiver.</source>
        <translation>最大 6 台のクランプメーターの測定値を無線受信機から記録します。</translation>
    </message>
    <message>
        <source>The devices behind COM 1, COM 2, ... (comma separated; default: $VOLTRIX_PORTS, else the system&apos;s ports).</source>
        <translation>COM 1、COM 2 … に割り当てるデバイス（カンマ区切り。既定値: $VOLTRIX_PORTS、なければシステムのポート）。</translation>
    </message>
    <message>
        <source>Start the built-in simulated receiver (six meters) and put it first in the port list.</source>
        <translation>内蔵の模擬受信機（メーター 6 台）を起動し、ポート一覧の先頭に置きます。</translation>
    </message>
    <message>
        <source>Press Start once the window is up.</source>
        <translation>ウィンドウが開いたら「開始」を押します。</translation>
    </message>
    <message>
        <source>Press Stop after this many seconds of recording.</source>
        <translation>記録を指定秒数続けた後に「停止」を押します。</translation>
    </message>
    <message>
        <source>After Stop (or after --open), write the record to FILE: .xlsx a workbook as Save Data writes it, .csv the table as RFC 4180 CSV in UTF-8.</source>
        <translation>停止後（または --open の後）、記録を FILE に書き出します。.xlsx は「データを保存」と同じブック、.csv は表を UTF-8 の RFC 4180 CSV で書き出します。</translation>
    </message>
    <message>
        <source>Open the record of a workbook (.xlsx or .xls) at start, as Open does.</source>
        <translation>起動時に、「開く」と同じようにブック（.xlsx または .xls）の記録を開きます。</translation>
    </message>
    <message>
        <source>After Stop, save the graph page shown as Save Graph does (.bmp, .jpg, .png or .svg by the name&apos;s extension).</source>
        <translation>停止後、表示中のグラフページを「グラフを保存」と同じように保存します（形式は拡張子で .bmp、.jpg、.png、.svg）。</translation>
    </message>
    <message>
        <source>After Stop, print the table into the PDF file FILE.</source>
        <translation>停止後、表を PDF ファイル FILE に印刷します。</translation>
    </message>
    <message>
        <source>After Stop, print the graph page shown into the PDF file FILE.</source>
        <translation>停止後、表示中のグラフページを PDF ファイル FILE に印刷します。</translation>
    </message>
    <message>
        <source>The language of the windows: en, ja or zh_TW (default: the one chosen in Options, else the system&apos;s).</source>
        <translation>画面の言語: en、ja、zh_TW（既定値: Options で選んだ言語、なければシステムの言語）。</translation>
    </message>
    <message>
        <source>Exit when done.</source>
        <translation>終わったら終了します。</translation>
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
無人運転（--record または --quit）では質問で止まることはありません。質問は標準エラー出力に
書き出され、次の規則で答えられます:
  「タイムアウトしました！ データの受信を続けますか? 」  はい（記録を続ける）
  「記録のクリア！」                                    はい
  「ファイルの保存！」（記録が未保存のとき）            いいえ。記録は --output が書き出す
    （プログラムの終了時も同じ）
  「記録がありません！」「グラフがありません！」        指定の出力は失敗（終了コード 2）
  その他のはい/いいえの質問                             いいえ
  OK ボタンだけのメッセージ                             OK
  ファイルダイアログ                                    キャンセル
前回の終了時に保存されなかった記録は、問い合わせずに復元して保存します。書き出せなかった
記録（--output、自動保存、復元時の保存）は、保存の質問への答えにかかわらず次回の起動のために
ジャーナルを残し、終了コードは 2 になります。
SIGTERM と SIGHUP は無人運転を --quit の Stop 後と同じく終了させます。指定された出力を
先に書き出します。
終了コード: 0 完了、1 記録を開始できなかった、2 出力を書き出せなかった、
3 --open に指定したブックを読み込めなかった。使えないオプションや値のときも 2（何も
開始しません）。ブローカーに接続できなくても記録は止まりません。その旨を
標準エラー出力に一度だけ知らせ、自動で再接続します。</translation>
    </message>
    <message>
        <source>The graph view shown, printed and saved: main (the main channel&apos;s page, the default) or all (a lane for every channel).</source>
        <translation>表示・印刷・保存するグラフ表示: main（メインチャンネルのページ、既定値）または all（全チャンネルを段ごとに表示）。</translation>
    </message>
    <message>
        <source>whole: the graph shows the whole record.</source>
        <translation>whole: グラフに記録全体を表示します。</translation>
    </message>
    <message>
        <source>Publish every recorded sample to this MQTT broker: mqtt://[user[:password]@]host[:port] (port 1883) or mqtts://... (TLS, port 8883). The password may also come from $VOLTRIX_MQTT_PASSWORD.</source>
        <translation>記録した測定値をすべてこの MQTT ブローカーに配信します: mqtt://[user[:password]@]host[:port]（ポート 1883）または mqtts://...（TLS、ポート 8883）。パスワードは $VOLTRIX_MQTT_PASSWORD からも渡せます。</translation>
    </message>
    <message>
        <source>The topics&apos; prefix (default voltrix/&lt;host name&gt;).</source>
        <translation>トピックの接頭辞（既定値 voltrix/&lt;ホスト名&gt;）。</translation>
    </message>
    <message>
        <source>Home Assistant discovery (default on).</source>
        <translation>Home Assistant の自動検出（既定値 on）。</translation>
    </message>
    <message>
        <source>Quality of service of the readings (default 0).</source>
        <translation>測定値の QoS（既定値 0）。</translation>
    </message>
    <message>
        <source>The CA certificate of an mqtts:// broker (default: the system&apos;s CA certificates).</source>
        <translation>mqtts:// ブローカーの CA 証明書（既定値: システムの CA 証明書）。</translation>
    </message>
    <message>
        <source>Write every recorded sample to standard output as it is recorded: a JSON object a line, or CSV after a header line. Every other message goes to standard error.</source>
        <translation>記録した測定値を記録のたびに標準出力へ書き出します: 1 行に 1 つの JSON オブジェクト、またはヘッダー行に続く CSV。その他のメッセージはすべて標準エラー出力に出ます。</translation>
    </message>
    <message>
        <source>--mqtt-discovery takes on or off</source>
        <translation>--mqtt-discovery には on または off を指定します</translation>
    </message>
    <message>
        <source>--mqtt-qos takes 0 or 1</source>
        <translation>--mqtt-qos には 0 または 1 を指定します</translation>
    </message>
    <message>
        <source>--stream takes jsonl or csv</source>
        <translation>--stream には jsonl または csv を指定します</translation>
    </message>
    <message>
        <source>publishing is off: %1</source>
        <translation>配信はオフです: %1</translation>
    </message>
    <message>
        <source>After Stop (or after --open), write the energy table to FILE as RFC 4180 CSV: a row per current channel (Ch1..Ch6) and a row Total, with kWh, average W, seconds covered and cost; after Stop the run&apos;s since Start.</source>
        <translation>Stop の後(または --open の後)に電力量の表を RFC 4180 の CSV で FILE に書き出します。電流チャンネルごとの行(Ch1..Ch6)と行 Total に、kWh、平均 W、対象の秒数、料金を書きます。Stop の後は Start からの実行の電力量です。</translation>
    </message>
</context>
<context>
    <name>EnergyPairing</name>
    <message>
        <source>The voltage, the power factor and the unit price must be numbers of 0 or more.</source>
        <translation>電圧、力率、単価は 0 以上の数値にしてください。</translation>
    </message>
    <message>
        <source>Channel %1 cannot take its voltage from itself.</source>
        <translation>チャンネル %1 は自分自身から電圧を取れません。</translation>
    </message>
    <message>
        <source>Channel %1 cannot take its voltage from channel %2, which measures a current.</source>
        <translation>チャンネル %1 はチャンネル %2 から電圧を取れません。チャンネル %2 は電流を測定しています。</translation>
    </message>
    <message>
        <source>Channel %1 cannot take its voltage from channel %2, which measures no voltage.</source>
        <translation>チャンネル %1 はチャンネル %2 から電圧を取れません。チャンネル %2 は電圧を測定していません。</translation>
    </message>
</context>
<context>
    <name>EnergyTable</name>
    <message>
        <source>Total</source>
        <translation>合計</translation>
    </message>
    <message>
        <source>Channel</source>
        <translation>チャンネル</translation>
    </message>
    <message>
        <source>Voltage</source>
        <translation>電圧</translation>
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
        <translation>料金</translation>
    </message>
    <message>
        <source>Time ( d : h : m : s )</source>
        <translation>時間 (日:時:分:秒)</translation>
    </message>
</context>
<context>
    <name>FmAbout</name>
    <message>
        <source>System Information</source>
        <translation>システム情報</translation>
    </message>
</context>
<context>
    <name>FmGraph</name>
    <message>
        <source>Graph</source>
        <translation>グラフ</translation>
    </message>
    <message>
        <source>Previous page</source>
        <translation>前のページ</translation>
    </message>
    <message>
        <source>Next page</source>
        <translation>次のページ</translation>
    </message>
</context>
<context>
    <name>FmGrid</name>
    <message>
        <source>Table</source>
        <translation>表</translation>
    </message>
</context>
<context>
    <name>FmMonitor</name>
    <message>
        <source>Monitor</source>
        <translation>モニター</translation>
    </message>
    <message>
        <source>Main Record</source>
        <translation>メイン記録</translation>
    </message>
    <message>
        <source>File </source>
        <translation>記録名 </translation>
    </message>
    <message>
        <source>Received Channels     </source>
        <translation>受信チャンネル数     </translation>
    </message>
    <message>
        <source>Main Display </source>
        <translation>メイン表示 </translation>
    </message>
    <message>
        <source>Type </source>
        <translation>測定機能 </translation>
    </message>
    <message>
        <source>Serial Number</source>
        <translation>シリアル番号</translation>
    </message>
    <message>
        <source>Place</source>
        <translation>設置場所</translation>
    </message>
    <message>
        <source>Current Setting</source>
        <translation>現在の設定</translation>
    </message>
    <message>
        <source>Interval</source>
        <translation>測定間隔</translation>
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
        <translation>値</translation>
    </message>
    <message>
        <source>Unit</source>
        <translation>単位</translation>
    </message>
    <message>
        <source>Time</source>
        <translation>時刻</translation>
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
        <translation>記録の電力量</translation>
    </message>
    <message>
        <source>Energy since Start</source>
        <translation>Start からの電力量</translation>
    </message>
</context>
<context>
    <name>Fmoption</name>
    <message>
        <source>Option</source>
        <translation>オプション</translation>
    </message>
    <message>
        <source>Default</source>
        <translation>既定値</translation>
    </message>
    <message>
        <source>Display value fore color</source>
        <translation>表示値の文字色</translation>
    </message>
    <message>
        <source>Display back color</source>
        <translation>表示の背景色</translation>
    </message>
    <message>
        <source>Monitor</source>
        <translation>モニター</translation>
    </message>
    <message>
        <source>Graph back color  </source>
        <translation>グラフの背景色  </translation>
    </message>
    <message>
        <source>Scale color</source>
        <translation>目盛りの色</translation>
    </message>
    <message>
        <source>Graph  Title :</source>
        <translation>グラフのタイトル :</translation>
    </message>
    <message>
        <source>Graph</source>
        <translation>グラフ</translation>
    </message>
    <message>
        <source>Grid Lines</source>
        <translation>罫線</translation>
    </message>
    <message>
        <source>GridFlat</source>
        <translation>フラット</translation>
    </message>
    <message>
        <source>GridInset</source>
        <translation>くぼみ</translation>
    </message>
    <message>
        <source>GridRaised</source>
        <translation>浮き出し</translation>
    </message>
    <message>
        <source>Data Row Back Color</source>
        <translation>データ行の背景色</translation>
    </message>
    <message>
        <source>Table</source>
        <translation>表</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>キャンセル</translation>
    </message>
    <message>
        <source>System language</source>
        <translation>システムの言語</translation>
    </message>
    <message>
        <source>Language :</source>
        <translation>言語 :</translation>
    </message>
    <message>
        <source>A new language takes effect at the next start.</source>
        <translation>言語の変更は次回の起動時に有効になります。</translation>
    </message>
</context>
<context>
    <name>GraphImageExport</name>
    <message>
        <source>The graph has no size.</source>
        <translation>グラフの大きさがありません。</translation>
    </message>
    <message>
        <source>The graph could not be saved to %1.
%2</source>
        <translation>グラフを %1 に保存できませんでした。
%2</translation>
    </message>
</context>
<context>
    <name>GraphView</name>
    <message>
        <source>Main channel</source>
        <translation>メインチャンネル</translation>
    </message>
    <message>
        <source>All channels</source>
        <translation>全チャンネル</translation>
    </message>
    <message>
        <source>Whole record</source>
        <translation>記録全体</translation>
    </message>
    <message>
        <source>Zoom in</source>
        <translation>拡大</translation>
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
        <translation>文書 %1 を開けるプログラムがありません。</translation>
    </message>
</context>
<context>
    <name>LinkLossWatch</name>
    <message>
        <source>Link lost %1</source>
        <translation>通信断 %1</translation>
    </message>
    <message>
        <source>Link lost once, %1</source>
        <translation>通信断 1 回、%1</translation>
    </message>
    <message>
        <source>Link lost %1 times, %2</source>
        <translation>通信断 %1 回、%2</translation>
    </message>
</context>
<context>
    <name>LinkProber</name>
    <message>
        <source>Link error ! Please check your connector.</source>
        <translation>通信エラー！ コネクターを確認してください。</translation>
    </message>
</context>
<context>
    <name>Menu</name>
    <message>
        <source>&amp;File</source>
        <translation>ファイル(&amp;F)</translation>
    </message>
    <message>
        <source>&amp;Open</source>
        <translation>開く(&amp;O)</translation>
    </message>
    <message>
        <source>&amp;Save</source>
        <translation>保存(&amp;S)</translation>
    </message>
    <message>
        <source>Save &amp;Data</source>
        <translation>データを保存(&amp;D)</translation>
    </message>
    <message>
        <source>Save &amp;Graph</source>
        <translation>グラフを保存(&amp;G)</translation>
    </message>
    <message>
        <source>&amp;Print</source>
        <translation>印刷(&amp;P)</translation>
    </message>
    <message>
        <source>Print &amp;Data</source>
        <translation>データを印刷(&amp;D)</translation>
    </message>
    <message>
        <source>Print &amp;Graph</source>
        <translation>グラフを印刷(&amp;G)</translation>
    </message>
    <message>
        <source>E&amp;xit</source>
        <translation>終了(&amp;X)</translation>
    </message>
    <message>
        <source>&amp;Setup</source>
        <translation>設定(&amp;S)</translation>
    </message>
    <message>
        <source>&amp;Edit</source>
        <translation>編集(&amp;E)</translation>
    </message>
    <message>
        <source>&amp;Clear record</source>
        <translation>記録をクリア(&amp;C)</translation>
    </message>
    <message>
        <source>&amp;View</source>
        <translation>表示(&amp;V)</translation>
    </message>
    <message>
        <source>&amp;Table</source>
        <translation>表(&amp;T)</translation>
    </message>
    <message>
        <source>&amp;Monitor</source>
        <translation>モニター(&amp;M)</translation>
    </message>
    <message>
        <source>&amp;Graph</source>
        <translation>グラフ(&amp;G)</translation>
    </message>
    <message>
        <source>&amp;Electric Power Cost Monitor</source>
        <translation>電力料金モニター(&amp;E)</translation>
    </message>
    <message>
        <source>&amp;Record</source>
        <translation>記録(&amp;R)</translation>
    </message>
    <message>
        <source>&amp;Connect</source>
        <translation>接続(&amp;C)</translation>
    </message>
    <message>
        <source>&amp;Start</source>
        <translation>開始(&amp;S)</translation>
    </message>
    <message>
        <source>&amp;Pause</source>
        <translation>一時停止(&amp;P)</translation>
    </message>
    <message>
        <source>S&amp;top</source>
        <translation>停止(&amp;T)</translation>
    </message>
    <message>
        <source>&amp;Option</source>
        <translation>オプション(&amp;O)</translation>
    </message>
    <message>
        <source>&amp;Window</source>
        <translation>ウィンドウ(&amp;W)</translation>
    </message>
    <message>
        <source>&amp;Arr_icons</source>
        <translation>アイコンの整列(&amp;A)</translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <translation>ヘルプ(&amp;H)</translation>
    </message>
    <message>
        <source>Voltrix User&apos;s &amp;Manual</source>
        <translation>Voltrix 取扱説明書(&amp;M)</translation>
    </message>
    <message>
        <source>&amp;About</source>
        <translation>バージョン情報(&amp;A)</translation>
    </message>
    <message>
        <source>Skip</source>
        <translation>スキップ</translation>
    </message>
    <message>
        <source>P&amp;ublish readings</source>
        <translation>測定値の配信(&amp;U)</translation>
    </message>
    <message>
        <source>Main &amp;channel</source>
        <translation>メインチャンネル(&amp;C)</translation>
    </message>
    <message>
        <source>&amp;All channels</source>
        <translation>全チャンネル(&amp;A)</translation>
    </message>
    <message>
        <source>Zoom &amp;in</source>
        <translation>拡大(&amp;I)</translation>
    </message>
    <message>
        <source>Zoom &amp;out</source>
        <translation>縮小(&amp;O)</translation>
    </message>
    <message>
        <source>&amp;Whole record</source>
        <translation>記録全体(&amp;W)</translation>
    </message>
</context>
<context>
    <name>MqttClient</name>
    <message>
        <source>off</source>
        <translation>オフ</translation>
    </message>
    <message>
        <source>cannot make an MQTT client</source>
        <translation>MQTT クライアントを作成できません</translation>
    </message>
    <message>
        <source>TLS cannot be set up: %1</source>
        <translation>TLS を設定できません: %1</translation>
    </message>
    <message>
        <source>cannot start the MQTT client: %1</source>
        <translation>MQTT クライアントを開始できません: %1</translation>
    </message>
    <message>
        <source>connecting to %1</source>
        <translation>%1 に接続中</translation>
    </message>
    <message>
        <source>TLS refused by %1: %2</source>
        <translation>%1 との TLS が拒否されました: %2</translation>
    </message>
    <message>
        <source>cannot reach %1: %2</source>
        <translation>%1 に接続できません: %2</translation>
    </message>
    <message>
        <source>%1 refused the connection: %2</source>
        <translation>%1 が接続を拒否しました: %2</translation>
    </message>
    <message>
        <source>connected to %1</source>
        <translation>%1 に接続済み</translation>
    </message>
    <message>
        <source>no answer</source>
        <translation>応答がありません</translation>
    </message>
</context>
<context>
    <name>OpenRecord</name>
    <message>
        <source>Open File</source>
        <translation>ファイルを開く</translation>
    </message>
</context>
<context>
    <name>PowerCostMonitor</name>
    <message>
        <source>Electric Power Cost Monitor</source>
        <translation>電力料金モニター</translation>
    </message>
    <message>
        <source>Channel:</source>
        <translation>チャンネル:</translation>
    </message>
    <message>
        <source>Serial Number: </source>
        <translation>シリアル番号: </translation>
    </message>
    <message>
        <source>Place:</source>
        <translation>設置場所:</translation>
    </message>
    <message>
        <source>Unit Price</source>
        <translation>単価</translation>
    </message>
    <message>
        <source>Time ( d : h : m : s )</source>
        <translation>時間 (日:時:分:秒)</translation>
    </message>
    <message>
        <source>Electricity charges</source>
        <translation>電気料金</translation>
    </message>
    <message>
        <source>V</source>
        <translation>電圧 (V)</translation>
    </message>
    <message>
        <source>P.F</source>
        <translation>力率</translation>
    </message>
</context>
<context>
    <name>PowerFields</name>
    <message>
        <source>Input field</source>
        <translation>入力欄</translation>
    </message>
</context>
<context>
    <name>PrintTexts</name>
    <message>
        <source>Getting printer error. Make sure the printer is set up correctly.</source>
        <translation>プリンターでエラーが発生しました。プリンターが正しく設定されているか確認してください。</translation>
    </message>
    <message>
        <source>Printer set up </source>
        <translation>プリンターの設定 </translation>
    </message>
    <message>
        <source>Not any record !</source>
        <translation>記録がありません！</translation>
    </message>
    <message>
        <source>Not any record to print!</source>
        <translation>印刷する記録がありません！</translation>
    </message>
    <message>
        <source>Not any graph!</source>
        <translation>グラフがありません！</translation>
    </message>
    <message>
        <source>Save File</source>
        <translation>ファイルの保存</translation>
    </message>
    <message>
        <source>File Name : </source>
        <translation>ファイル名 : </translation>
    </message>
    <message>
        <source>Page : </source>
        <translation>ページ : </translation>
    </message>
</context>
<context>
    <name>Prompts</name>
    <message>
        <source>%1 is not available in this version yet.</source>
        <translation>「%1」はこのバージョンではまだ使えません。</translation>
    </message>
</context>
<context>
    <name>PublishDialog</name>
    <message>
        <source>Home Assistant discovery</source>
        <translation>Home Assistant の自動検出</translation>
    </message>
    <message>
        <source>Publish readings</source>
        <translation>測定値の配信</translation>
    </message>
    <message>
        <source>the system&apos;s CA certificates</source>
        <translation>システムの CA 証明書</translation>
    </message>
    <message>
        <source>Broker (empty: off)</source>
        <translation>ブローカー（空欄: 配信しない）</translation>
    </message>
    <message>
        <source>Password</source>
        <translation>パスワード</translation>
    </message>
    <message>
        <source>Topic prefix</source>
        <translation>トピックの接頭辞</translation>
    </message>
    <message>
        <source>Quality of service</source>
        <translation>QoS（サービス品質）</translation>
    </message>
    <message>
        <source>CA file (mqtts)</source>
        <translation>CA ファイル (mqtts)</translation>
    </message>
    <message>
        <source>Test</source>
        <translation>テスト</translation>
    </message>
    <message>
        <source>no broker given</source>
        <translation>ブローカーが指定されていません</translation>
    </message>
</context>
<context>
    <name>PublishFeature</name>
    <message>
        <source>MQTT: %1</source>
        <translation>MQTT: %1</translation>
    </message>
</context>
<context>
    <name>PublishRules</name>
    <message>
        <source>the broker address does not parse: expected mqtt://[user[:password]@]host[:port] or mqtts://[user[:password]@]host[:port]</source>
        <translation>ブローカーのアドレスを解釈できません。mqtt://[user[:password]@]host[:port] または mqtts://[user[:password]@]host[:port] の形で指定してください</translation>
    </message>
    <message>
        <source>unknown scheme &quot;%1&quot;: use mqtt:// or mqtts://</source>
        <translation>不明なスキーム「%1」です。mqtt:// または mqtts:// を使ってください</translation>
    </message>
    <message>
        <source>the broker address names no host</source>
        <translation>ブローカーのアドレスにホストがありません</translation>
    </message>
    <message>
        <source>the port must be a number from 1 to 65535</source>
        <translation>ポートは 1 から 65535 までの数値で指定してください</translation>
    </message>
    <message>
        <source>the topic prefix is empty</source>
        <translation>トピックの接頭辞が空です</translation>
    </message>
    <message>
        <source>the topic prefix must not hold +, # or a NUL character</source>
        <translation>トピックの接頭辞に +、#、NUL 文字は使えません</translation>
    </message>
    <message>
        <source>the topic prefix must not be %1 or lie under it: Home Assistant&apos;s own topics are there</source>
        <translation>トピックの接頭辞を %1 またはその下にすることはできません。そこは Home Assistant 自身のトピックです</translation>
    </message>
    <message>
        <source>the quality of service must be 0 or 1</source>
        <translation>QoS は 0 または 1 です</translation>
    </message>
    <message>
        <source>cannot read the CA file %1: %2</source>
        <translation>CA ファイル %1 を読めません: %2</translation>
    </message>
    <message>
        <source>it holds no PEM certificate</source>
        <translation>PEM 形式の証明書が含まれていません</translation>
    </message>
</context>
<context>
    <name>QFileDialog</name>
    <message>
        <source>%1 already exists.
Do you want to replace it?</source>
        <translation>%1 は既に存在します。
置き換えますか?</translation>
    </message>
</context>
<context>
    <name>QPrintDialog</name>
    <message>
        <source>Print</source>
        <translation>印刷</translation>
    </message>
</context>
<context>
    <name>QtCurrentPrinter</name>
    <message>
        <source>No file was chosen to print to.</source>
        <translation>印刷先のファイルが選ばれていません。</translation>
    </message>
    <message>
        <source>Cannot print to %1.
%2</source>
        <translation>%1 に印刷できません。
%2</translation>
    </message>
    <message>
        <source>Cannot print on %1.
%2</source>
        <translation>%1 で印刷できません。
%2</translation>
    </message>
</context>
<context>
    <name>QtSerialControl</name>
    <message>
        <source>Permission denied on %1. Add your user to the %2 group (sudo usermod -aG %2 $USER) and log in again.</source>
        <translation>%1 へのアクセスが拒否されました。ユーザーを %2 グループに追加し（sudo usermod -aG %2 $USER）、ログインし直してください。</translation>
    </message>
    <message>
        <source>Permission denied on %1. Ask your administrator for access to this port.</source>
        <translation>%1 へのアクセスが拒否されました。このポートへのアクセス権を管理者に依頼してください。</translation>
    </message>
    <message>
        <source>%1 does not exist.</source>
        <translation>%1 はありません。</translation>
    </message>
    <message>
        <source>%1 (%2) does not exist.</source>
        <translation>%1（%2）はありません。</translation>
    </message>
    <message>
        <source>%1 is in use by another program.</source>
        <translation>%1 は別のプログラムが使用中です。</translation>
    </message>
    <message>
        <source>%1 could not be opened: %2 (%3).</source>
        <translation>%1 を開けませんでした: %2（%3）。</translation>
    </message>
</context>
<context>
    <name>QtSvgGraphWriter</name>
    <message>
        <source>The SVG drawing could not be started.</source>
        <translation>SVG の描画を開始できませんでした。</translation>
    </message>
</context>
<context>
    <name>RecordImport</name>
    <message>
        <source>Open file</source>
        <translation>ファイルを開く</translation>
    </message>
    <message>
        <source>Open file.....</source>
        <translation>ファイルを開いています.....</translation>
    </message>
</context>
<context>
    <name>RecordRecovery</name>
    <message>
        <source>The record %1 was not saved when Voltrix last ended. Recover it?</source>
        <translation>前回 Voltrix の終了時に記録 %1 が保存されていませんでした。復元しますか?</translation>
    </message>
    <message>
        <source>The recovered record %1 could not be saved (%2). It is kept in the table.</source>
        <translation>復元した記録 %1 を保存できませんでした（%2）。記録は表に残っています。</translation>
    </message>
</context>
<context>
    <name>RecordingControl</name>
    <message>
        <source>Real time data</source>
        <translation>リアルタイムデータ</translation>
    </message>
    <message>
        <source>(Clear record ).  Recording! Do you want to clear?</source>
        <translation>（記録をクリア）  記録中です！ クリアしますか?</translation>
    </message>
    <message>
        <source>Time out! Continue to receive data now? </source>
        <translation>タイムアウトしました！ データの受信を続けますか? </translation>
    </message>
    <message>
        <source>Clear record!</source>
        <translation>記録のクリア！</translation>
    </message>
    <message>
        <source>(%1).  This record didn&apos;t saved ! Do you want to save?</source>
        <translation>（%1）  この記録は保存されていません！ 保存しますか?</translation>
    </message>
    <message>
        <source>Save File!</source>
        <translation>ファイルの保存！</translation>
    </message>
    <message>
        <source>The record could not be saved automatically (%1). The recording was stopped; the record is kept in the table.</source>
        <translation>記録を自動保存できませんでした（%1）。記録を停止しました。記録は表に残っています。</translation>
    </message>
</context>
<context>
    <name>ScanWindow</name>
    <message>
        <source>Scan com port</source>
        <translation>COM ポートの検索</translation>
    </message>
    <message>
        <source>Link up</source>
        <translation>接続中</translation>
    </message>
</context>
<context>
    <name>StartupFaults</name>
    <message>
        <source>Cannot read the settings file %1. Voltrix uses its default settings.</source>
        <translation>設定ファイル %1 を読み込めません。Voltrix は既定の設定を使います。</translation>
    </message>
    <message>
        <source>The settings file %1 is damaged. Voltrix uses the default of every setting it cannot read.</source>
        <translation>設定ファイル %1 が壊れています。読み込めない設定には既定値を使います。</translation>
    </message>
    <message>
        <source>Cannot read the label file %1 as text. The window title shows no label.</source>
        <translation>ラベルファイル %1 をテキストとして読み込めません。ウィンドウのタイトルにラベルは表示されません。</translation>
    </message>
</context>
<context>
    <name>StreamWriter</name>
    <message>
        <source>it had not caught up when the stream ended</source>
        <translation>ストリームの終了までに追いつきませんでした</translation>
    </message>
    <message>
        <source>stream: it ends (%1); the recording goes on</source>
        <translation>ストリーム: 終了します(%1)。記録は続けます</translation>
    </message>
    <message>
        <source>the reader has gone</source>
        <translation>読み手がいなくなりました</translation>
    </message>
    <message>
        <source>caught up at %1</source>
        <translation>%1 に追いつきました</translation>
    </message>
    <message>
        <source>stream: the reader fell behind: %1 lines dropped; %2</source>
        <translation>ストリーム: 読み手が遅れたため %1 行を捨てました。%2</translation>
    </message>
</context>
<context>
    <name>SystemInfo</name>
    <message>
        <source>Operating system: </source>
        <translation>オペレーティングシステム: </translation>
    </message>
    <message>
        <source>Kernel: </source>
        <translation>カーネル: </translation>
    </message>
    <message>
        <source>CPU architecture: </source>
        <translation>CPU アーキテクチャ: </translation>
    </message>
    <message>
        <source>Qt version: </source>
        <translation>Qt バージョン: </translation>
    </message>
    <message>
        <source>System language ID: </source>
        <translation>システム言語 ID: </translation>
    </message>
    <message>
        <source>Records folder: </source>
        <translation>記録フォルダー: </translation>
    </message>
    <message>
        <source>Settings file: </source>
        <translation>設定ファイル: </translation>
    </message>
    <message>
        <source>Serial ports:</source>
        <translation>シリアルポート:</translation>
    </message>
    <message>
        <source>  none found</source>
        <translation>  見つかりません</translation>
    </message>
    <message>
        <source>serial number </source>
        <translation>シリアル番号 </translation>
    </message>
</context>
<context>
    <name>Toolbar</name>
    <message>
        <source>Open</source>
        <translation>開く</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>保存</translation>
    </message>
    <message>
        <source>Print</source>
        <translation>印刷</translation>
    </message>
    <message>
        <source>Monitor</source>
        <translation>モニター</translation>
    </message>
    <message>
        <source>Table</source>
        <translation>表</translation>
    </message>
    <message>
        <source>Graph</source>
        <translation>グラフ</translation>
    </message>
    <message>
        <source>Electric Power Cost Monitor</source>
        <translation>電力料金モニター</translation>
    </message>
    <message>
        <source>Connect</source>
        <translation>接続</translation>
    </message>
    <message>
        <source>Start</source>
        <translation>開始</translation>
    </message>
    <message>
        <source>Pause</source>
        <translation>一時停止</translation>
    </message>
    <message>
        <source>Stop</source>
        <translation>停止</translation>
    </message>
    <message>
        <source>Help</source>
        <translation>ヘルプ</translation>
    </message>
</context>
<context>
    <name>TwipPage</name>
    <message>
        <source>The printer could not be started.</source>
        <translation>プリンターを開始できませんでした。</translation>
    </message>
    <message>
        <source>The printer could not finish the document.</source>
        <translation>プリンターで文書を最後まで印刷できませんでした。</translation>
    </message>
</context>
<context>
    <name>WorkbookFormat</name>
    <message>
        <source>Excel File(*.xlsx *.xls)</source>
        <translation>Excel ファイル(*.xlsx *.xls)</translation>
    </message>
    <message>
        <source>Excel 2007 File(*.xlsx)</source>
        <translation>Excel 2007 ファイル(*.xlsx)</translation>
    </message>
    <message>
        <source>Excel 97-2003 File(*.xls)</source>
        <translation>Excel 97-2003 ファイル(*.xls)</translation>
    </message>
</context>
<context>
    <name>WorkbookImport</name>
    <message>
        <source>&quot;%1&quot; holds %2 sample rows, more than a record can hold: only the first %3 were loaded.</source>
        <translation>「%1」には %2 行の測定データがあり、1 つの記録に入る数を超えています。最初の %3 行だけを読み込みました。</translation>
    </message>
    <message>
        <source> This file is blank !</source>
        <translation> このファイルは空です！</translation>
    </message>
</context>
<context>
    <name>WorkbookSaver</name>
    <message>
        <source>The record could not be saved in the records folder (%1). It was saved as %2.</source>
        <translation>記録フォルダーに記録を保存できませんでした（%1）。%2 として保存しました。</translation>
    </message>
    <message>
        <source>The record was not saved (%1).</source>
        <translation>記録は保存されませんでした（%1）。</translation>
    </message>
    <message>
        <source>Not any record!</source>
        <translation>記録がありません！</translation>
    </message>
    <message>
        <source>Save file</source>
        <translation>ファイルの保存</translation>
    </message>
    <message>
        <source>Save file.....</source>
        <translation>ファイルを保存しています.....</translation>
    </message>
    <message>
        <source>Save File</source>
        <translation>ファイルの保存</translation>
    </message>
    <message>
        <source>Excel File(*.xlsx);;CSV File(*.csv)</source>
        <translation>Excel ファイル(*.xlsx);;CSV ファイル(*.csv)</translation>
    </message>
    <message>
        <source>The record %1 could not be saved automatically (%2).</source>
        <translation>記録 %1 を自動保存できませんでした（%2）。</translation>
    </message>
    <message>
        <source> The recording was stopped.</source>
        <translation> 記録を停止しました。</translation>
    </message>
    <message>
        <source> Its samples are kept in the journal %1, which the next start recovers.</source>
        <translation> 測定値はジャーナル %1 に残っており、次回の起動時に復元されます。</translation>
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
        <translation>COM ポート</translation>
    </message>
    <message>
        <source>Auto scan  com port</source>
        <translation>COM ポートを自動検索</translation>
    </message>
    <message>
        <source>Select  port</source>
        <translation>ポートを選択</translation>
    </message>
    <message>
        <source>Com %1</source>
        <translation>COM %1</translation>
    </message>
    <message>
        <source>Alarm setting</source>
        <translation>アラーム設定</translation>
    </message>
    <message>
        <source>Alarm  : </source>
        <translation>アラーム : </translation>
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
        <translation>単位 :</translation>
    </message>
    <message>
        <source>Graph scales</source>
        <translation>グラフの目盛り</translation>
    </message>
    <message>
        <source>Time axial scales : </source>
        <translation>時間軸の目盛り : </translation>
    </message>
    <message>
        <source>Channel</source>
        <translation>チャンネル</translation>
    </message>
    <message>
        <source>Display  Name</source>
        <translation>表示名</translation>
    </message>
    <message>
        <source>Serial Number </source>
        <translation>シリアル番号 </translation>
    </message>
    <message>
        <source>Place</source>
        <translation>設置場所</translation>
    </message>
    <message>
        <source>Channel %1</source>
        <translation>チャンネル %1</translation>
    </message>
    <message>
        <source>Power rate</source>
        <translation>電力料金</translation>
    </message>
    <message>
        <source>V</source>
        <translation>電圧 (V)</translation>
    </message>
    <message>
        <source>P.F</source>
        <translation>力率</translation>
    </message>
    <message>
        <source>Unit price    </source>
        <translation>単価    </translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>キャンセル</translation>
    </message>
    <message>
        <source>Default</source>
        <translation>既定値</translation>
    </message>
    <message>
        <source>Voltage from</source>
        <translation>電圧の取得元</translation>
    </message>
</context>
</TS>
