<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_CN">
<context>
    <name>CommandLine</name>
    <message>
        <source>Checks whether the catalogue&apos;s stations still play: reads the first kilobytes of what answers at each
station&apos;s address (following at most five redirects and the first entry of a playlist), prints one line
per station and a summary, and keeps the findings in the catalogue it checks, %1. Nothing is played.

Exit codes: 0 every station was checked, whatever was found (a dead station is a finding, not a failure);
1 the catalogue could not be read or written, this process ran short of files or memory, or Ctrl+C stopped
the run (the findings so far are kept);
2 the command line is wrong.</source>
        <translation>检查电台目录里的电台是否还能播放：读取每个电台网址应答的前几 KB（最多跟随五次转向，播放列表取第一项），
每个电台打印一行，最后打印汇总，并把检查结果保存在所检查的电台目录 %1 里。不会播放任何电台。

退出码：0 每个电台都检查了，不论结果如何（电台失效是检查结果，不是失败）；
1 电台目录无法读取或写入，本进程的文件或内存不够，或者按了 Ctrl+C（已有的结果保留）；
2 命令行有误。</translation>
    </message>
    <message>
        <source>Only the stations of this category (国内电视 ...).</source>
        <translation>只检查这个类别的电台（国内电视 ……）。</translation>
    </message>
    <message>
        <source>Stations checked at once, 1 to %1 (default 16), never more than 4 on one host; fewer when the limit on open files (ulimit -n) allows fewer.</source>
        <translation>同时检查的电台数，1 到 %1（默认 16），同一主机最多 4 个；打开文件数的限制（ulimit -n）较小时相应减少。</translation>
    </message>
    <message>
        <source>Seconds one station may take in all before it has timed out (default 10).</source>
        <translation>每个电台最多用时多少秒，超过即算超时（默认 10）。</translation>
    </message>
    <message>
        <source>Prints the findings as one JSON document.</source>
        <translation>把检查结果打印成一个 JSON 文档。</translation>
    </message>
    <message>
        <source>Checks nothing: prints the last findings, dead stations first.</source>
        <translation>不检查，只打印上次的结果，失效的电台在前。</translation>
    </message>
    <message>
        <source>Writes the dead stations of the last findings to FILE as an M3U playlist.</source>
        <translation>把上次结果中失效的电台写成 M3U 播放列表 FILE。</translation>
    </message>
    <message>
        <source>unexpected argument &quot;%1&quot;</source>
        <translation>多余的参数“%1”</translation>
    </message>
    <message>
        <source>--jobs takes a whole number from 1 to %1</source>
        <translation>--jobs 要一个 1 到 %1 的整数</translation>
    </message>
    <message>
        <source>--timeout takes seconds above 0, at most %1</source>
        <translation>--timeout 要大于 0、最多 %1 的秒数</translation>
    </message>
    <message>
        <source>(no name)</source>
        <translation>（没有名称）</translation>
    </message>
    <message>
        <source>No findings yet: vimaro check checks the stations.
</source>
        <translation>还没有检查结果：vimaro check 会检查电台。
</translation>
    </message>
    <message>
        <source>1 station</source>
        <translation>1 个电台</translation>
    </message>
    <message>
        <source>%1 stations</source>
        <translation>%1 个电台</translation>
    </message>
    <message>
        <source>Last findings of %1: </source>
        <translation>%1的上次检查结果：</translation>
    </message>
    <message>
        <source>Checked %1 in %2 s: </source>
        <translation>检查了 %1，用时 %2 秒：</translation>
    </message>
    <message>
        <source>%1 play, %2 do not, %3 cannot be judged.
</source>
        <translation>%1 个能播放，%2 个不能，%3 个无法判断。
</translation>
    </message>
    <message>
        <source>play</source>
        <translation>能播放</translation>
    </message>
    <message>
        <source>do not</source>
        <translation>不能播放</translation>
    </message>
    <message>
        <source>cannot be judged</source>
        <translation>无法判断</translation>
    </message>
    <message>
        <source>Stopped by Ctrl+C; the findings so far are kept.
</source>
        <translation>已按 Ctrl+C 停止；已有的检查结果保留。
</translation>
    </message>
    <message>
        <source>vimaro check: %1 stations at a time, as many as the limit on open files allows
</source>
        <translation>vimaro check: 同时检查 %1 个电台，这是打开文件数的限制所允许的最多个数
</translation>
    </message>
    <message>
        <source>checking</source>
        <translation>正在检查</translation>
    </message>
    <message>
        <source>vimaro check: the catalogue failed: %1
</source>
        <translation>vimaro check: 电台目录出错：%1
</translation>
    </message>
    <message>
        <source>vimaro check: stopped, this process ran short of its own resources (%1): fewer --jobs or a higher ulimit -n may help; the findings so far are kept
</source>
        <translation>vimaro check: 已停止，本进程的资源不够（%1）：减小 --jobs 或提高 ulimit -n 也许有用；已有的检查结果保留
</translation>
    </message>
    <message>
        <source>Wrote %1 dead stations to %2.
</source>
        <translation>已把 %1 个失效的电台写入 %2。
</translation>
    </message>
    <message>
        <source>vimaro check: %1; a playlist is never written over it. Nothing was done.
</source>
        <translation>vimaro check: %1，播放列表绝不会覆盖它。什么也没有做。
</translation>
    </message>
    <message>
        <source>vimaro check: no station has the category &quot;%1&quot;. The categories are:
%2</source>
        <translation>vimaro check: 没有电台属于类别“%1”。现有的类别是：
%2</translation>
    </message>
    <message>
        <source>vimaro check: the catalogue %1 failed: %2
</source>
        <translation>vimaro check: 电台目录 %1 出错：%2
</translation>
    </message>
    <message>
        <source>
Commands (vimaro COMMAND --help for each):
</source>
        <translation>
命令（vimaro 命令 --help 查看各命令的说明）：
</translation>
    </message>
    <message>
        <source>Add the stations of playlist files (M3U, PLS, XSPF) or old catalogues to the catalogue</source>
        <translation>把播放列表文件（M3U、PLS、XSPF）或旧电台目录里的电台加入电台目录</translation>
    </message>
    <message>
        <source>Write the catalogue, or one category, as a playlist file</source>
        <translation>把电台目录或其中一个类别写成播放列表文件</translation>
    </message>
    <message>
        <source>Tell which stations still play: check what answers at every station&apos;s address</source>
        <translation>查出哪些电台还能播放：检查每个电台网址的应答</translation>
    </message>
    <message>
        <source>Search the community radio directory, and add what it finds</source>
        <translation>搜索社区电台名录，并添加找到的电台</translation>
    </message>
    <message>
        <source>Import the playlist at an address and keep it up to date with vimaro update</source>
        <translation>导入网址上的播放列表，并用 vimaro update 保持更新</translation>
    </message>
    <message>
        <source>Bring in the changes of the subscribed playlists</source>
        <translation>取回所订阅播放列表的变化</translation>
    </message>
    <message>
        <source>List the subscribed playlists and their last update</source>
        <translation>列出订阅的播放列表和它们的上次更新</translation>
    </message>
    <message>
        <source>Forget a subscription; its stations stay</source>
        <translation>取消订阅；它的电台仍然保留</translation>
    </message>
    <message>
        <source>List the media players for streams and choose the one stations play in</source>
        <translation>列出能播放流的媒体播放器，并选择电台用哪一个播放</translation>
    </message>
    <message>
        <source>What is on now and next, from the programme guides</source>
        <translation>根据节目单，现在和接下来播放什么</translation>
    </message>
    <message>
        <source>A station&apos;s programme until tomorrow; the programme guides and where they come from</source>
        <translation>一个电台到明天为止的节目；节目单及其来源</translation>
    </message>
    <message>
        <source>Put a backup of the catalogue in place of tv.mdb, keeping the old file aside</source>
        <translation>用电台目录的备份替换 tv.mdb，原文件另外保留</translation>
    </message>
    <message>
        <source>%1 is the catalogue in use</source>
        <translation>%1 是正在使用的电台目录</translation>
    </message>
    <message>
        <source>%1 is in the backup folder %2</source>
        <translation>%1 在备份文件夹 %2 里</translation>
    </message>
    <message>
        <source>%1 is a database</source>
        <translation>%1 是一个数据库</translation>
    </message>
    <message>
        <source>tv.mdb in the data folder</source>
        <translation>数据文件夹里的 tv.mdb</translation>
    </message>
    <message>
        <source>the catalogue is in use by another program; try again later (database is locked)</source>
        <translation>电台目录正被另一个程序使用，请稍后再试（database is locked）</translation>
    </message>
    <message>
        <source>the catalogue %1 is damaged (%2).</source>
        <translation>电台目录 %1 已损坏（%2）。</translation>
    </message>
    <message>
        <source> The newest good backup is %1: &quot;vimaro restore&quot; puts it in place and keeps the damaged file aside.</source>
        <translation>最新的完好备份是 %1：“vimaro restore”会用它替换，并另外保留损坏的文件。</translation>
    </message>
    <message>
        <source> There is no good backup in %1.</source>
        <translation>%1 里没有完好的备份。</translation>
    </message>
    <message>
        <source>Write even when the catalogue cannot be backed up first and backup/ holds no good backup of the last seven days (without it, the command then stops before it writes).</source>
        <translation>即使无法先备份电台目录、backup/ 里也没有最近七天的完好备份，仍然写入（不加这个选项时，命令会在写入前停止）。</translation>
    </message>
    <message>
        <source>vimaro %1: writing without a backup, as --no-backup asks: %2
</source>
        <translation>vimaro %1: 按 --no-backup 的要求，不备份就写入：%2
</translation>
    </message>
    <message>
        <source>vimaro: waiting for the catalogue %1, which another program is using (at most %2 s)
</source>
        <translation>vimaro: 电台目录 %1 正被另一个程序使用，正在等待（最多 %2 秒）
</translation>
    </message>
    <message>
        <source>Vimaro 电视电台快选: a desktop launcher for internet television and radio stations.
Without arguments it opens its windows.</source>
        <translation>Vimaro 电视电台快选：网络电视和广播电台的桌面快速启动器。
不带参数时打开它的窗口。</translation>
    </message>
    <message>
        <source>The command to run.</source>
        <translation>要执行的命令。</translation>
    </message>
    <message>
        <source>vimaro: unknown command &quot;%1&quot;; vimaro --help lists the commands.
</source>
        <translation>vimaro: 未知的命令“%1”；vimaro --help 列出所有命令。
</translation>
    </message>
    <message>
        <source>Seconds a download may take in all (default %1, at most %2).</source>
        <translation>一次下载最多用时多少秒（默认 %1，最多 %2）。</translation>
    </message>
    <message>
        <source>vimaro %1: --timeout takes seconds above 0, at most %2
</source>
        <translation>vimaro %1: --timeout 要大于 0、最多 %2 的秒数
</translation>
    </message>
    <message>
        <source>Downloading</source>
        <translation>正在下载</translation>
    </message>
    <message>
        <source>Writes the stations of the catalogue %1, or of one category, in catalogue order as a playlist file, with each station&apos;s category. A FILE of - is standard output. A file is replaced only once the new one is wholly written; a device or a FIFO is written in place.</source>
        <translation>按目录中的顺序，把电台目录 %1 或其中一个类别的电台写成播放列表文件，每个电台带有它的类别。FILE 为 - 时写到标准输出。新文件完全写好后才替换原文件；设备或 FIFO 直接写入。</translation>
    </message>
    <message>
        <source>The playlist file to write; - for standard output.</source>
        <translation>要写的播放列表文件；- 表示标准输出。</translation>
    </message>
    <message>
        <source>Only the stations of this category.</source>
        <translation>只要这个类别的电台。</translation>
    </message>
    <message>
        <source>m3u (extended M3U), pls or xspf; without it, the file&apos;s extension, else m3u.</source>
        <translation>m3u（扩展 M3U）、pls 或 xspf；不指定时按文件扩展名，否则为 m3u。</translation>
    </message>
    <message>
        <source>vimaro export: give one FILE and a --format of m3u, pls or xspf; vimaro export --help tells more.
</source>
        <translation>vimaro export: 请给出一个 FILE，--format 只能是 m3u、pls 或 xspf；详见 vimaro export --help。
</translation>
    </message>
    <message>
        <source>vimaro export: %1; a playlist is never written over it. Nothing was written.
</source>
        <translation>vimaro export: %1，播放列表绝不会覆盖它。什么也没有写。
</translation>
    </message>
    <message>
        <source>vimaro export: no station has the category &quot;%1&quot;; nothing was written. The categories are:
%2</source>
        <translation>vimaro export: 没有电台属于类别“%1”，什么也没有写。现有的类别是：
%2</translation>
    </message>
    <message>
        <source>vimaro export: cannot read the catalogue: %1
</source>
        <translation>vimaro export: 无法读取电台目录：%1
</translation>
    </message>
    <message>
        <source>standard output</source>
        <translation>标准输出</translation>
    </message>
    <message>
        <source>Wrote %1 station to %2.
</source>
        <translation>已把 %1 个电台写入 %2。
</translation>
    </message>
    <message>
        <source>Wrote %1 stations to %2.
</source>
        <translation>已把 %1 个电台写入 %2。
</translation>
    </message>
    <message>
        <source>Searches the community radio directory (radio-browser.info, some 50,000 stations) for stations whose name
holds WORDS, most voted first, and prints them numbered: name, country, codec and bitrate, votes, address.
Only stations that passed the directory&apos;s last check are listed. --add puts the results into the catalogue
as vimaro import does. The directory&apos;s servers are found through its DNS record _api._tcp.radio-browser.info
and asked in random order until one answers; --server, or the environment variable VIMARO_DIRECTORY_SERVER
(addresses separated by blanks), names servers instead, such as a private mirror.

Exit codes: 0 the search went through (also when it found nothing); 1 no server answered, the answer was no
list of stations, the catalogue failed, or Ctrl+C stopped it (nothing is written then); 2 the command line is
wrong.</source>
        <translation>在社区电台名录（radio-browser.info，约 5 万个电台）里搜索名称含有 WORDS 的电台，票数多的在前，
编号列出：名称、国家、编码和码率、票数、网址。只列出通过名录上次检查的电台。
--add 像 vimaro import 一样把结果加入电台目录。名录的服务器通过 DNS 记录 _api._tcp.radio-browser.info
找到，并按随机顺序询问，直到有一个应答；--server 或环境变量 VIMARO_DIRECTORY_SERVER
（网址之间用空格分隔）可以改用指定的服务器，例如私有镜像。

退出码：0 搜索完成（什么也没找到时也是）；1 没有服务器应答，应答不是电台列表，电台目录出错，
或者按了 Ctrl+C（这时什么也不写）；2 命令行有误。</translation>
    </message>
    <message>
        <source>%1 kbit/s</source>
        <translation>%1 kbit/s</translation>
    </message>
    <message>
        <source>%1  %2  %3  %4  %5 votes  %6</source>
        <translation>%1  %2  %3  %4  %5 票  %6</translation>
    </message>
    <message>
        <source>  (will not play: not added)</source>
        <translation>  （无法播放：不会添加）</translation>
    </message>
    <message>
        <source>vimaro find: stopped by Ctrl+C; nothing was added, the catalogue is as it was
</source>
        <translation>vimaro find: 已按 Ctrl+C 停止；没有添加任何电台，电台目录没有改变
</translation>
    </message>
    <message>
        <source>add them with --add 类别</source>
        <translation>用 --add 类别 添加它们</translation>
    </message>
    <message>
        <source>vimaro find: nothing was added, the catalogue is as it was: %1%2
</source>
        <translation>vimaro find: 没有添加任何电台，电台目录没有改变：%1%2
</translation>
    </message>
    <message>
        <source>; --no-backup adds without one</source>
        <translation>；加 --no-backup 可以不备份就添加</translation>
    </message>
    <message>
        <source>Part of the station&apos;s name.</source>
        <translation>电台名称的一部分。</translation>
    </message>
    <message>
        <source>Only stations of this country code (CH, DE, CN …).</source>
        <translation>只要这个国家代码的电台（CH、DE、CN ……）。</translation>
    </message>
    <message>
        <source>Only stations in this language (german …).</source>
        <translation>只要这种语言的电台（german ……）。</translation>
    </message>
    <message>
        <source>Only stations with this tag (jazz …).</source>
        <translation>只要有这个标签的电台（jazz ……）。</translation>
    </message>
    <message>
        <source>At most N stations (default 20, at most %1).</source>
        <translation>最多 N 个电台（默认 20，最多 %1）。</translation>
    </message>
    <message>
        <source>Print the stations as one JSON array.</source>
        <translation>把电台打印成一个 JSON 数组。</translation>
    </message>
    <message>
        <source>Add the stations found to the catalogue, in this category.</source>
        <translation>把找到的电台加入电台目录的这个类别。</translation>
    </message>
    <message>
        <source>With --add: only the stations of these numbers (1,3,5).</source>
        <translation>与 --add 一起用：只添加这些编号的电台（1,3,5）。</translation>
    </message>
    <message>
        <source>Ask this directory server (may be given more than once).</source>
        <translation>询问这个名录服务器（可以给出多次）。</translation>
    </message>
    <message>
        <source>--limit takes a whole number from 1 to %1</source>
        <translation>--limit 要一个 1 到 %1 的整数</translation>
    </message>
    <message>
        <source>--pick goes with --add</source>
        <translation>--pick 要与 --add 一起用</translation>
    </message>
    <message>
        <source>--json and --add do not go together</source>
        <translation>--json 和 --add 不能一起用</translation>
    </message>
    <message>
        <source>--server takes an http or https address</source>
        <translation>--server 要一个 http 或 https 网址</translation>
    </message>
    <message>
        <source>VIMARO_DIRECTORY_SERVER takes http or https addresses, separated by blanks</source>
        <translation>VIMARO_DIRECTORY_SERVER 要 http 或 https 网址，用空格分隔</translation>
    </message>
    <message>
        <source>vimaro find: %1 failed (%2); asking the next server
</source>
        <translation>vimaro find: %1 失败（%2），正在询问下一个服务器
</translation>
    </message>
    <message>
        <source>vimaro find: stopped by Ctrl+C
</source>
        <translation>vimaro find: 已按 Ctrl+C 停止
</translation>
    </message>
    <message>
        <source>No station found.
</source>
        <translation>没有找到电台。
</translation>
    </message>
    <message>
        <source>vimaro find: --pick takes numbers of the list above, from 1 to %1
</source>
        <translation>vimaro find: --pick 要上面列表中的编号，1 到 %1
</translation>
    </message>
    <message>
        <source>vimaro guide add: give the http or https address of a guide, and --shift in whole hours from -24 to 24
</source>
        <translation>vimaro guide add: 请给出节目单的 http 或 https 网址，--shift 为 -24 到 24 的整小时数
</translation>
    </message>
    <message>
        <source>Added the guide %1; vimaro update keeps it up to date.</source>
        <translation>已添加节目单 %1；vimaro update 会保持它的更新。</translation>
    </message>
    <message>
        <source>vimaro guide remove: no guide from %1; vimaro guide sources lists them</source>
        <translation>vimaro guide remove: 没有来自 %1 的节目单；vimaro guide sources 列出所有节目单</translation>
    </message>
    <message>
        <source>Removed the guide %1.</source>
        <translation>已删除节目单 %1。</translation>
    </message>
    <message>
        <source>No guides: a subscribed playlist that names one adds it, vimaro guide add URL adds one.</source>
        <translation>没有节目单：订阅的播放列表如果指明了节目单就会添加它，vimaro guide add URL 也可以添加。</translation>
    </message>
    <message>
        <source>named by a subscribed playlist</source>
        <translation>由订阅的播放列表指明</translation>
    </message>
    <message>
        <source>added by hand</source>
        <translation>手动添加</translation>
    </message>
    <message>
        <source>, times shifted %1 h</source>
        <translation>，时间调整 %1 小时</translation>
    </message>
    <message>
        <source>last updated %1: %2</source>
        <translation>上次更新 %1：%2</translation>
    </message>
    <message>
        <source>never updated</source>
        <translation>从未更新</translation>
    </message>
    <message>
        <source>%1
  %2%3, %4 stations, %5</source>
        <translation>%1
  %2%3，%4 个电台，%5</translation>
    </message>
    <message>
        <source>vimaro guide: no station named %1</source>
        <translation>vimaro guide: 没有名为 %1 的电台</translation>
    </message>
    <message>
        <source>vimaro guide: no guide for %1 from now to the end of tomorrow</source>
        <translation>vimaro guide: %1 从现在到明天结束没有节目单</translation>
    </message>
    <message>
        <source>Guide %1: %2</source>
        <translation>节目单 %1：%2</translation>
    </message>
    <message>
        <source>unchanged</source>
        <translation>没有变化</translation>
    </message>
    <message>
        <source>vimaro: stopped by Ctrl+C; the guide of %1 and those after it are as they were</source>
        <translation>vimaro: 已按 Ctrl+C 停止；%1 及其后的节目单没有改变</translation>
    </message>
    <message>
        <source>vimaro: guide %1</source>
        <translation>vimaro: 节目单 %1</translation>
    </message>
    <message>
        <source>vimaro: guide %1 refused: %2</source>
        <translation>vimaro: 节目单 %1 被拒绝：%2</translation>
    </message>
    <message>
        <source>Programme guides (XMLTV) for the stations: what a station shows from now to the end of tomorrow, and the guides they come from. A subscribed playlist that names guides in its header (url-tvg, x-tvg-url) adds them; vimaro update brings every guide up to date, and an unchanged guide costs one request. A guide, .xml or .xml.gz, may be up to %1 MiB as sent and %2 GiB unpacked, and takes as long as it needs while its bytes keep coming (%3 s of silence end it). Only the channels of the catalogue&apos;s stations are kept, by tvg-id or by name, from 2 hours ago to 7 days ahead. A guide that is not XMLTV, is cut short or has times that do not parse is refused, and its previous guide kept.</source>
        <translation>电台的节目单（XMLTV）：一个电台从现在到明天结束播放什么，以及节目单的来源。订阅的播放列表在文件头里指明的节目单（url-tvg、x-tvg-url）会被添加；vimaro update 更新所有节目单，没有变化的节目单只需一次请求。节目单（.xml 或 .xml.gz）传送时最大 %1 MiB，解压后最大 %2 GiB，只要数据不断传来就一直接收（%3 秒没有数据即结束）。只保留电台目录中电台的频道（按 tvg-id 或名称），时间从 2 小时前到 7 天后。不是 XMLTV、不完整或时间无法解析的节目单会被拒绝，并保留原来的节目单。</translation>
    </message>
    <message>
        <source>The station whose programme to show.</source>
        <translation>要显示节目的电台。</translation>
    </message>
    <message>
        <source>With add: hours added to the guide&apos;s times, for a guide whose time offsets are wrong.</source>
        <translation>与 add 一起用：给节目单的时间加上的小时数，用于时区偏移有误的节目单。</translation>
    </message>
    <message>
        <source>The programme as JSON.</source>
        <translation>以 JSON 输出节目。</translation>
    </message>
    <message>
        <source>vimaro guide: give a station&apos;s name, or add URL, remove URL or sources
</source>
        <translation>vimaro guide: 请给出电台名称，或 add URL、remove URL、sources
</translation>
    </message>
    <message>
        <source>What is on now and next on the stations of CATEGORY, or on every station with a guide. Stations without a guide are left out.</source>
        <translation>CATEGORY 类别的电台（或所有有节目单的电台）现在和接下来播放什么。没有节目单的电台不列出。</translation>
    </message>
    <message>
        <source>The stations and their programmes as JSON.</source>
        <translation>以 JSON 输出电台和它们的节目。</translation>
    </message>
    <message>
        <source>No station has a programme guide now: vimaro guide sources lists the guides.</source>
        <translation>现在没有电台有节目单：vimaro guide sources 列出节目单。</translation>
    </message>
    <message>
        <source>
  now   </source>
        <translation>
  现在  </translation>
    </message>
    <message>
        <source>
  next  </source>
        <translation>
  接下来  </translation>
    </message>
    <message>
        <source>standard input</source>
        <translation>标准输入</translation>
    </message>
    <message>
        <source>cannot read %1: %2</source>
        <translation>无法读取 %1：%2</translation>
    </message>
    <message>
        <source>cannot keep a copy of %1: %2</source>
        <translation>无法保存 %1 的副本：%2</translation>
    </message>
    <message>
        <source>vimaro import: cannot read %1: %2
</source>
        <translation>vimaro import: 无法读取 %1：%2
</translation>
    </message>
    <message>
        <source>vimaro import: cannot download %1
</source>
        <translation>vimaro import: 无法下载 %1
</translation>
    </message>
    <message>
        <source>Added:</source>
        <translation>已添加：</translation>
    </message>
    <message>
        <source>Already present:</source>
        <translation>原来就有：</translation>
    </message>
    <message>
        <source>Will not play:</source>
        <translation>无法播放：</translation>
    </message>
    <message>
        <source>Unreadable records:</source>
        <translation>读不懂的记录：</translation>
    </message>
    <message>
        <source>Unreadable lines:</source>
        <translation>读不懂的行：</translation>
    </message>
    <message>
        <source>%1%2, in categories no panel lists and no quick-select slot plays
</source>
        <translation>%1%2，所在的类别不在任何面板或快速选台里
</translation>
    </message>
    <message>
        <source>In no panel:</source>
        <translation>不在面板里：</translation>
    </message>
    <message>
        <source>  To show them, %1
  naming a panel&apos;s category (国内电视 … 个性广播) or a quick-select slot (快速选台一 … 快速选台九).
</source>
        <translation>  要显示它们，请%1，
  类别用面板的类别（国内电视 … 个性广播）或快速选台（快速选台一 … 快速选台九）。
</translation>
    </message>
    <message>
        <source>Dry run: nothing was written.
</source>
        <translation>试运行：什么也没有写。
</translation>
    </message>
    <message>
        <source>Adds the stations of playlist files to the catalogue %1: extended M3U or M3U8, PLS and XSPF, and old catalogues (a tv.mdb of the old program, an Access database), told apart by their content, from files or from web addresses. A FILE of - is standard input. Stations already there (same category, name and web address) are left out; all files go in together or not at all. A file that runs on past %2 MiB is no playlist, and a name, address or category longer than %3 KiB no station&apos;s.

Exit codes: 0 done; 1 a file could not be read, none of the files is a playlist, or the catalogue could not be written (nothing is imported then); 2 the command line is wrong.</source>
        <translation>把播放列表文件的电台加入电台目录 %1：扩展 M3U 或 M3U8、PLS、XSPF，以及旧电台目录（旧程序的 tv.mdb，Access 数据库），按内容区分，来自文件或网址。FILE 为 - 时读标准输入。已有的电台（类别、名称和网址都相同）不再添加；所有文件要么一起导入，要么都不导入。超过 %2 MiB 的文件不是播放列表，名称、网址或类别超过 %3 KiB 的不是电台。

退出码：0 完成；1 有文件无法读取、没有一个文件是播放列表，或电台目录无法写入（这时什么也不导入）；2 命令行有误。</translation>
    </message>
    <message>
        <source>A playlist file or an old catalogue, - for standard input, or the http or https address of a playlist: at most %1 MiB, downloaded within --timeout, after at most %2 redirects, from a server whose certificate the system trusts.</source>
        <translation>播放列表文件或旧电台目录，- 表示标准输入，或播放列表的 http、https 网址：最大 %1 MiB，在 --timeout 内下载完，最多 %2 次转向，服务器证书须为系统信任。</translation>
    </message>
    <message>
        <source>Put every station into this category instead of the file&apos;s groups.</source>
        <translation>把所有电台放进这个类别，而不是文件里的分组。</translation>
    </message>
    <message>
        <source>Report what the import would do, and write nothing.</source>
        <translation>只报告导入会做什么，什么也不写。</translation>
    </message>
    <message>
        <source>vimaro import: which playlist files? vimaro import --help tells more.
</source>
        <translation>vimaro import: 导入哪些播放列表文件？详见 vimaro import --help。
</translation>
    </message>
    <message>
        <source>Importing</source>
        <translation>正在导入</translation>
    </message>
    <message>
        <source>vimaro import: stopped by Ctrl+C; nothing was imported, the catalogue is as it was.
</source>
        <translation>vimaro import: 已按 Ctrl+C 停止；什么也没有导入，电台目录没有改变。
</translation>
    </message>
    <message>
        <source>import with --category 类别</source>
        <translation>用 --category 类别 导入</translation>
    </message>
    <message>
        <source>vimaro import: nothing was imported: none of the files is a playlist.
</source>
        <translation>vimaro import: 什么也没有导入：没有一个文件是播放列表。
</translation>
    </message>
    <message>
        <source>vimaro import: nothing was imported, the catalogue is as it was: %1%2
</source>
        <translation>vimaro import: 什么也没有导入，电台目录没有改变：%1%2
</translation>
    </message>
    <message>
        <source>; --no-backup imports without one</source>
        <translation>；加 --no-backup 可以不备份就导入</translation>
    </message>
    <message>
        <source>%1, not installed</source>
        <translation>%1，没有安装</translation>
    </message>
    <message>
        <source>No media player is installed for streams: every station goes to xdg-open, as a web page does.</source>
        <translation>没有安装能播放流的媒体播放器：所有电台都像网页一样交给 xdg-open。</translation>
    </message>
    <message>
        <source>Players for streams (* plays them now; &quot;headers&quot;: takes a station&apos;s User-Agent and Referer):</source>
        <translation>能播放流的播放器（* 为现在使用的；“headers”：接受电台的 User-Agent 和 Referer）：</translation>
    </message>
    <message>
        <source>, headers</source>
        <translation>，headers</translation>
    </message>
    <message>
        <source>Chosen: none, the desktop&apos;s default player for each type (first above).</source>
        <translation>已选择：无，每种类型用桌面默认的播放器（上面第一个）。</translation>
    </message>
    <message>
        <source>Chosen for %1: %2</source>
        <translation>%1 选择了：%2</translation>
    </message>
    <message>
        <source>every category</source>
        <translation>所有类别</translation>
    </message>
    <message>
        <source>A play of a directory station is told to the directory (--no-directory-clicks turns it off).</source>
        <translation>播放名录里的电台时会告诉名录（--no-directory-clicks 关闭）。</translation>
    </message>
    <message>
        <source>Plays are not told to the directory (--directory-clicks turns it on).</source>
        <translation>播放时不告诉名录（--directory-clicks 打开）。</translation>
    </message>
    <message>
        <source>Lists the media players that play streams, and chooses the one stations go to: PLAYER (a name as listed, such as mpv or vlc) for every category or, with --category, for one; --default gives the choice back to the desktop. Web pages always open in the browser.</source>
        <translation>列出能播放流的媒体播放器，并选择电台交给哪一个：PLAYER（列出的名字，例如 mpv 或 vlc）用于所有类别，加 --category 时只用于一个类别；--default 把选择交还给桌面。网页总是在浏览器中打开。</translation>
    </message>
    <message>
        <source>The player to choose.</source>
        <translation>要选择的播放器。</translation>
    </message>
    <message>
        <source>Choose for the stations of this category only.</source>
        <translation>只为这个类别的电台选择。</translation>
    </message>
    <message>
        <source>Play streams in the desktop&apos;s default player again.</source>
        <translation>重新用桌面默认的播放器播放流。</translation>
    </message>
    <message>
        <source>Do not tell the community directory when one of its stations is played.</source>
        <translation>播放社区名录里的电台时不告诉名录。</translation>
    </message>
    <message>
        <source>Tell the directory again (the first setting).</source>
        <translation>重新告诉名录（最初的设置）。</translation>
    </message>
    <message>
        <source>vimaro player: give one PLAYER or --default; vimaro player --help says more
</source>
        <translation>vimaro player: 请给出一个 PLAYER 或 --default；详见 vimaro player --help
</translation>
    </message>
    <message>
        <source>vimaro player: no station is in the category &quot;%1&quot;; the categories are:
%2</source>
        <translation>vimaro player: 没有电台属于类别“%1”；现有的类别是：
%2</translation>
    </message>
    <message>
        <source>vimaro player: no installed player is called &quot;%1&quot;; vimaro player lists them
</source>
        <translation>vimaro player: 没有安装名为“%1”的播放器；vimaro player 列出已安装的播放器
</translation>
    </message>
    <message>
        <source>Puts a backup of the catalogue in place of tv.mdb: the newest one in the backup folder that passes the engine&apos;s integrity check, or the one named. tv.mdb itself is kept aside as tv.mdb.damaged-DATE-TIME (or tv.mdb.replaced-DATE-TIME when it could still be read), never deleted. Close the windows first.</source>
        <translation>用电台目录的备份替换 tv.mdb：备份文件夹里通过数据库完整性检查的最新备份，或指定的备份。原来的 tv.mdb 另存为 tv.mdb.damaged-日期-时间（仍能读取时为 tv.mdb.replaced-日期-时间），绝不删除。请先关闭窗口。</translation>
    </message>
    <message>
        <source>A backup file, or its name in the backup folder.</source>
        <translation>备份文件，或它在备份文件夹里的名字。</translation>
    </message>
    <message>
        <source>vimaro restore: give at most one BACKUP; vimaro restore --help tells more.
</source>
        <translation>vimaro restore: 最多给出一个 BACKUP；详见 vimaro restore --help。
</translation>
    </message>
    <message>
        <source>vimaro restore: the windows run on %1; close them first. Nothing was changed.
</source>
        <translation>vimaro restore: 窗口正在使用 %1，请先关闭它们。什么也没有改变。
</translation>
    </message>
    <message>
        <source>vimaro restore: cannot tell whether the windows run on %1; close them first if they do, and restore again.
</source>
        <translation>vimaro restore: 无法判断窗口是否正在使用 %1；如果是，请先关闭它们，再恢复一次。
</translation>
    </message>
    <message>
        <source>vimaro restore: there is no good backup in %1. Nothing was changed.
</source>
        <translation>vimaro restore: %1 里没有完好的备份。什么也没有改变。
</translation>
    </message>
    <message>
        <source>Restored %1 from %2.
</source>
        <translation>已用 %2 恢复 %1。
</translation>
    </message>
    <message>
        <source>The file it replaced is kept as %1.
</source>
        <translation>被替换的文件保存为 %1。
</translation>
    </message>
    <message>
        <source>vimaro restore: %1. Nothing was changed.
</source>
        <translation>vimaro restore: %1。什么也没有改变。
</translation>
    </message>
    <message>
        <source>subscribe to the list again with --category 类别</source>
        <translation>用 --category 类别 重新订阅这个列表</translation>
    </message>
    <message>
        <source>Changed:</source>
        <translation>已变更：</translation>
    </message>
    <message>
        <source>%1
    now %2</source>
        <translation>%1
    现在 %2</translation>
    </message>
    <message>
        <source>Your edits kept:</source>
        <translation>保留你的修改：</translation>
    </message>
    <message>
        <source>%1
    the list: %2</source>
        <translation>%1
    列表中：%2</translation>
    </message>
    <message>
        <source>, though the list changed what you changed; the rest of these stations follows the list</source>
        <translation>，虽然列表改了你改过的内容；这些电台的其余部分跟随列表</translation>
    </message>
    <message>
        <source>%1%2, not added back
</source>
        <translation>%1%2，没有加回
</translation>
    </message>
    <message>
        <source>Deleted by you:</source>
        <translation>你删除的：</translation>
    </message>
    <message>
        <source>Gone from list:</source>
        <translation>已不在列表中：</translation>
    </message>
    <message>
        <source>  changed by you</source>
        <translation>  你修改过</translation>
    </message>
    <message>
        <source>, kept (vimaro update --prune removes those you did not change)</source>
        <translation>，仍然保留（vimaro update --prune 删除你没有修改过的）</translation>
    </message>
    <message>
        <source>Not yet removed:</source>
        <translation>暂未删除：</translation>
    </message>
    <message>
        <source>, gone from the list at this update only: --prune removes them when the next list leaves them out too, as a list cut short on its way would not</source>
        <translation>，只在这次更新的列表中不见了：下次的列表也没有它们时 --prune 才删除，因为传送中被截断的列表不会连续两次这样</translation>
    </message>
    <message>
        <source>Removed:</source>
        <translation>已删除：</translation>
    </message>
    <message>
        <source>stopped by Ctrl+C</source>
        <translation>已按 Ctrl+C 停止</translation>
    </message>
    <message>
        <source>vimaro %1: give the one http or https address of a playlist
</source>
        <translation>vimaro %1: 请给出一个播放列表的 http 或 https 网址
</translation>
    </message>
    <message>
        <source>vimaro %1: stopped by Ctrl+C; nothing was written, the catalogue is as it was
</source>
        <translation>vimaro %1: 已按 Ctrl+C 停止；什么也没有写，电台目录没有改变
</translation>
    </message>
    <message>
        <source>vimaro %1: nothing was written: %2%3
</source>
        <translation>vimaro %1: 什么也没有写：%2%3
</translation>
    </message>
    <message>
        <source>; --no-backup writes without one</source>
        <translation>；加 --no-backup 可以不备份就写入</translation>
    </message>
    <message>
        <source>Subscribes to the playlist at URL: imports its stations as vimaro import does and records the address, so that vimaro update brings in the list&apos;s changes later. Subscribing again to the same address takes its new --category. The programme guides the list names in its header (url-tvg, x-tvg-url) are taken too.</source>
        <translation>订阅 URL 上的播放列表：像 vimaro import 一样导入它的电台并记下网址，以后 vimaro update 会取回列表的变化。再次订阅同一网址时采用新的 --category。列表在文件头里指明的节目单（url-tvg、x-tvg-url）也一起添加。</translation>
    </message>
    <message>
        <source>The http or https address of the playlist.</source>
        <translation>播放列表的 http 或 https 网址。</translation>
    </message>
    <message>
        <source>Put every station into this category instead of the list&apos;s groups.</source>
        <translation>把所有电台放进这个类别，而不是列表里的分组。</translation>
    </message>
    <message>
        <source>Brings in the changes of the subscribed playlists, or of the one at URL: entries new to a list are added, stations whose entry has a new address follow it, and entries gone from a list are reported and kept. Stations you changed keep your changes and stations you deleted are not added back. A list that did not change since the last update (the server says so, or sends the same list) changes nothing. The lists that came go into the catalogue together, in one transaction. Then the programme guides are brought up to date (those of the subscription at URL, or all: vimaro guide sources lists them), each on its own.</source>
        <translation>取回所订阅播放列表（或 URL 上的那一个）的变化：列表中新的条目会添加，条目网址变了的电台跟着改，从列表中消失的条目会报告并保留。你修改过的电台保留你的修改，你删除的电台不会加回。自上次更新以来没有变化的列表（服务器这样说，或者发来同样的列表）不改变任何东西。取回的列表在一个事务中一起写入电台目录。然后逐个更新节目单（URL 那个订阅的，或者全部：vimaro guide sources 列出它们）。</translation>
    </message>
    <message>
        <source>Only this subscription.</source>
        <translation>只更新这个订阅。</translation>
    </message>
    <message>
        <source>Remove the stations whose entry left their list, except those you changed.</source>
        <translation>删除条目已离开列表的电台，你修改过的除外。</translation>
    </message>
    <message>
        <source>vimaro update: give one subscribed address, or none for all
</source>
        <translation>vimaro update: 请给出一个订阅的网址，不给则更新全部
</translation>
    </message>
    <message>
        <source>No subscriptions: vimaro subscribe URL adds one.</source>
        <translation>没有订阅：vimaro subscribe URL 可以添加。</translation>
    </message>
    <message>
        <source>vimaro update: no subscription to %1</source>
        <translation>vimaro update: 没有订阅 %1</translation>
    </message>
    <message>
        <source>: unchanged</source>
        <translation>：没有变化</translation>
    </message>
    <message>
        <source>Lists the subscribed playlists, each with its stations and its last update.</source>
        <translation>列出订阅的播放列表，以及各自的电台数和上次更新。</translation>
    </message>
    <message>
        <source>into %1</source>
        <translation>放进 %1</translation>
    </message>
    <message>
        <source>into the list&apos;s own groups</source>
        <translation>放进列表自己的分组</translation>
    </message>
    <message>
        <source>%1
  %2, %3 stations, %4</source>
        <translation>%1
  %2，%3 个电台，%4</translation>
    </message>
    <message>
        <source>Forgets the subscription to the playlist at URL. Its stations stay in the catalogue, as if imported.</source>
        <translation>取消对 URL 上播放列表的订阅。它的电台像导入的一样留在电台目录里。</translation>
    </message>
    <message>
        <source>The subscribed address, as vimaro subscriptions lists it.</source>
        <translation>订阅的网址，与 vimaro subscriptions 列出的一样。</translation>
    </message>
    <message>
        <source>vimaro unsubscribe: no subscription to %1; vimaro subscriptions lists them</source>
        <translation>vimaro unsubscribe: 没有订阅 %1；vimaro subscriptions 列出所有订阅</translation>
    </message>
    <message>
        <source>Unsubscribed from %1; its %2 stations stay in the catalogue.</source>
        <translation>已取消订阅 %1；它的 %2 个电台仍然留在电台目录里。</translation>
    </message>
    <message>
        <source>  ... and %1 more
</source>
        <translation>  …… 还有 %1 个
</translation>
    </message>
    <message>
        <source>record %1</source>
        <translation>第 %1 条记录</translation>
    </message>
    <message>
        <source>line %1</source>
        <translation>第 %1 行</translation>
    </message>
</context>
<context>
    <name>Guide</name>
    <message>
        <source>%1 stations, %2 programmes</source>
        <translation>%1 个电台，%2 个节目</translation>
    </message>
    <message>
        <source>, %1 programmes skipped that end before they start</source>
        <translation>，跳过 %1 个结束早于开始的节目</translation>
    </message>
</context>
<context>
    <name>Internet</name>
    <message>
        <source>%1 is not text</source>
        <translation>%1 不是文本</translation>
    </message>
    <message>
        <source>%1 is not a number</source>
        <translation>%1 不是数字</translation>
    </message>
    <message>
        <source>the answer is not the directory&apos;s list of stations: in station %1, %2</source>
        <translation>应答不是名录的电台列表：第 %1 个电台，%2</translation>
    </message>
    <message>
        <source>there is no url</source>
        <translation>没有 url</translation>
    </message>
    <message>
        <source>the answer is not JSON: %1 at byte %2</source>
        <translation>应答不是 JSON：第 %2 字节处%1</translation>
    </message>
    <message>
        <source>it is no JSON object</source>
        <translation>它不是 JSON 对象</translation>
    </message>
    <message>
        <source>no directory server answered:
  %1</source>
        <translation>没有名录服务器应答：
  %1</translation>
    </message>
    <message>
        <source>cannot find the directory&apos;s servers (the DNS record %1): %2</source>
        <translation>找不到名录的服务器（DNS 记录 %1）：%2</translation>
    </message>
    <message>
        <source>cannot keep the download of %1: %2</source>
        <translation>无法保存 %1 的下载：%2</translation>
    </message>
    <message>
        <source>cannot keep the download: %1</source>
        <translation>无法保存下载：%1</translation>
    </message>
    <message>
        <source>refused: %1</source>
        <translation>被拒绝：%1</translation>
    </message>
    <message>
        <source>%1: %2; its previous guide is kept</source>
        <translation>%1：%2；保留原来的节目单</translation>
    </message>
    <message>
        <source>%1: the list holds no stations now; its stations are left as they were</source>
        <translation>%1：列表现在没有电台；它的电台保持不变</translation>
    </message>
    <message>
        <source>no bytes for %1 s</source>
        <translation>%1 秒内没有收到任何数据</translation>
    </message>
    <message>
        <source>no whole answer within %1 s</source>
        <translation>%1 秒内没有收到完整的回答</translation>
    </message>
    <message>
        <source>: the server sent nothing</source>
        <translation>：服务器什么也没有发送</translation>
    </message>
    <message>
        <source>: the server sent a part of the file only</source>
        <translation>：服务器只发送了文件的一部分</translation>
    </message>
    <message>
        <source>%1 is larger than the limit of %2</source>
        <translation>%1 超过了 %2 的上限</translation>
    </message>
    <message>
        <source>one audio or video stream (%1)</source>
        <translation>一个音频或视频流（%1）</translation>
    </message>
    <message>
        <source>a web page (%1)</source>
        <translation>一个网页（%1）</translation>
    </message>
    <message>
        <source>the DASH manifest of one station</source>
        <translation>一个电台的 DASH 清单</translation>
    </message>
    <message>
        <source>the answer is larger than the limit of %1</source>
        <translation>回答超过了 %1 的上限</translation>
    </message>
    <message>
        <source>; the download is incomplete</source>
        <translation>；下载不完整</translation>
    </message>
    <message>
        <source>the server&apos;s certificate is not one the system trusts (%1)</source>
        <translation>服务器的证书不受系统信任（%1）</translation>
    </message>
    <message>
        <source>a redirect without a Location</source>
        <translation>重定向没有给出 Location</translation>
    </message>
    <message>
        <source>a redirect to %1, which is no web address</source>
        <translation>重定向到 %1，这不是网址</translation>
    </message>
    <message>
        <source>more than %1 redirects</source>
        <translation>重定向超过 %1 次</translation>
    </message>
    <message>
        <source>the server answered with an empty body, no list</source>
        <translation>服务器的回答是空的，不是列表</translation>
    </message>
    <message>
        <source>one audio or video stream</source>
        <translation>一个音频或视频流</translation>
    </message>
    <message>
        <source>a web page</source>
        <translation>一个网页</translation>
    </message>
    <message>
        <source>the HLS playlist of one station</source>
        <translation>一个电台的 HLS 播放列表</translation>
    </message>
    <message>
        <source>this is %1, not a list of stations</source>
        <translation>这是%1，不是电台列表</translation>
    </message>
    <message>
        <source>%1 (redirected to %2): %3</source>
        <translation>%1（重定向到 %2）：%3</translation>
    </message>
</context>
<context>
    <name>Playlists</name>
    <message>
        <source>holds control characters</source>
        <translation>含有控制字符</translation>
    </message>
    <message>
        <source>is an #EXTINF without an address after it</source>
        <translation>是一行 #EXTINF，后面没有网址</translation>
    </message>
    <message>
        <source>is an #EXTINF without a comma before the title</source>
        <translation>是一行 #EXTINF，标题前没有逗号</translation>
    </message>
    <message>
        <source>is the address of an entry whose line %1 cannot be read</source>
        <translation>是第 %1 行那个读不懂的条目的网址</translation>
    </message>
    <message>
        <source>holds nothing: the file is empty</source>
        <translation>什么也没有：文件是空的</translation>
    </message>
    <message>
        <source>is binary data, not a playlist</source>
        <translation>是二进制数据，不是播放列表</translation>
    </message>
    <message>
        <source>starts a section other than [playlist]</source>
        <translation>开始了 [playlist] 以外的段</translation>
    </message>
    <message>
        <source>is no key=value line</source>
        <translation>不是 键=值 的行</translation>
    </message>
    <message>
        <source>stands outside the [playlist] section</source>
        <translation>在 [playlist] 段之外</translation>
    </message>
    <message>
        <source>repeats %1</source>
        <translation>重复了 %1</translation>
    </message>
    <message>
        <source>starts no XSPF playlist</source>
        <translation>不是 XSPF 播放列表的开头</translation>
    </message>
    <message>
        <source>holds a value longer than %1 KiB</source>
        <translation>含有超过 %1 KiB 的值</translation>
    </message>
    <message>
        <source>is a track without a location</source>
        <translation>是没有 location 的曲目</translation>
    </message>
    <message>
        <source>is no well-formed XML: %1</source>
        <translation>不是格式正确的 XML：%1</translation>
    </message>
</context>
<context>
    <name>QCommandLineParser</name>
    <message>
        <source>[options]</source>
        <translation>[选项]</translation>
    </message>
    <message>
        <source>Usage: %1</source>
        <translation>用法：%1</translation>
    </message>
</context>
<context>
    <name>Subscriptions</name>
    <message>
        <source>%1 added</source>
        <translation>新增 %1 个</translation>
    </message>
    <message>
        <source>%1 changed</source>
        <translation>变更 %1 个</translation>
    </message>
    <message>
        <source>%1 of your changes kept</source>
        <translation>保留你的修改 %1 个</translation>
    </message>
    <message>
        <source>%1 you deleted left out</source>
        <translation>你删除的 %1 个没有加回</translation>
    </message>
    <message>
        <source>%1 gone from the list</source>
        <translation>%1 个已不在列表中</translation>
    </message>
    <message>
        <source>%1 gone from the list once, kept until the next update</source>
        <translation>%1 个这次不在列表中</translation>
    </message>
    <message>
        <source>%1 removed</source>
        <translation>删除 %1 个</translation>
    </message>
    <message>
        <source>, </source>
        <extracomment>Between the parts of the summary.</extracomment>
        <translation>，</translation>
    </message>
</context>
<context>
    <name>Verdicts</name>
    <message>
        <source>refused</source>
        <translation>无法连接</translation>
    </message>
    <message>
        <source>not found</source>
        <translation>地址不存在</translation>
    </message>
    <message>
        <source>server error</source>
        <translation>服务器出错</translation>
    </message>
    <message>
        <source>timed out</source>
        <translation>超时没有应答</translation>
    </message>
    <message>
        <source>name not resolved</source>
        <translation>找不到服务器的名字</translation>
    </message>
    <message>
        <source>TLS failure</source>
        <translation>加密连接失败</translation>
    </message>
    <message>
        <source>too many redirects</source>
        <translation>转向太多</translation>
    </message>
    <message>
        <source>no answer</source>
        <translation>连接后没有应答</translation>
    </message>
    <message>
        <source>answered, not HTTP</source>
        <translation>应答的不是电台</translation>
    </message>
    <message>
        <source>bad address</source>
        <translation>网址无效</translation>
    </message>
    <message>
        <source>not a stream</source>
        <translation>不是流</translation>
    </message>
    <message>
        <source>not checked</source>
        <translation>没有检查</translation>
    </message>
    <message>
        <source>plays</source>
        <translation>能播放</translation>
    </message>
    <message>
        <source>plays after redirect</source>
        <translation>转向后能播放</translation>
    </message>
    <message>
        <source>port answers</source>
        <translation>端口有应答</translation>
    </message>
</context>
</TS>
