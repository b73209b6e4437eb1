-- The stations of the catalogue as shipped: built into tv.mdb beside the program at build time, after the table
-- of src/catalogue/schema.sql. Rows come back in the order they are inserted here, which is the order the
-- panels list them and the quick-select buttons search them.

-- STATIONS

-- 国内电视
INSERT INTO radio (类别, 名称, 网址) VALUES
    ('国内电视', 'CCTV-1 综合', 'https://tv.cctv.com/live/cctv1/'),
    ('国内电视', 'CCTV-2 财经', 'https://tv.cctv.com/live/cctv2/'),
    ('国内电视', 'CCTV-4 中文国际', 'https://tv.cctv.com/live/cctv4/'),
    ('国内电视', 'CCTV-5 体育', 'https://tv.cctv.com/live/cctv5/'),
    ('国内电视', 'CCTV-7 国防军事', 'https://tv.cctv.com/live/cctv7/'),
    ('国内电视', 'CCTV-13 新闻', 'https://tv.cctv.com/live/cctv13/'),
    ('国内电视', 'CGTN 英语', 'https://www.cgtn.com/tv');

-- 港台电视
INSERT INTO radio (类别, 名称, 网址) VALUES
    ('港台电视', '港台电视 31', 'https://www.rthk.hk/tv/dtt31'),
    ('港台电视', '港台电视 32', 'https://www.rthk.hk/tv/dtt32'),
    ('港台电视', '无线新闻', 'https://news.tvb.com/'),
    ('港台电视', '公视', 'https://www.pts.org.tw/'),
    ('港台电视', '民视新闻', 'https://www.ftvnews.com.tw/live/'),
    ('港台电视', 'TVBS 新闻', 'https://news.tvbs.com.tw/live'),
    ('港台电视', '三立新闻', 'https://www.setn.com/Live.aspx');

-- 海外电视
INSERT INTO radio (类别, 名称, 网址) VALUES
    ('海外电视', 'BBC 新闻频道', 'https://www.bbc.co.uk/iplayer/live/bbcnews'),
    ('海外电视', 'NHK World 日本', 'https://www3.nhk.or.jp/nhkworld/en/live/'),
    ('海外电视', '德国之声 (英语)', 'https://www.dw.com/en/live-tv/channel-english'),
    ('海外电视', '法国 24 (英语)', 'https://www.france24.com/en/live'),
    ('海外电视', '半岛电视台 (英语)', 'https://www.aljazeera.com/live'),
    ('海外电视', '欧洲新闻台', 'https://www.euronews.com/live'),
    ('海外电视', '天空新闻', 'https://news.sky.com/watch-live');

-- 精选音乐
INSERT INTO radio (类别, 名称, 网址) VALUES
    ('精选音乐', 'CCTV-15 音乐', 'https://tv.cctv.com/live/cctv15/'),
    ('精选音乐', 'CCTV-3 综艺', 'https://tv.cctv.com/live/cctv3/'),
    ('精选音乐', 'Lofi Girl 直播', 'https://www.youtube.com/@LofiGirl/live'),
    ('精选音乐', 'Arte 音乐会', 'https://www.arte.tv/en/videos/arte-concert/'),
    ('精选音乐', 'NPR 小桌音乐会', 'https://www.npr.org/series/tiny-desk-concerts/');

-- 精选电影
INSERT INTO radio (类别, 名称, 网址) VALUES
    ('精选电影', 'CCTV-6 电影', 'https://tv.cctv.com/live/cctv6/'),
    ('精选电影', '1905 电影网', 'https://www.1905.com/'),
    ('精选电影', '互联网档案馆 老电影', 'https://archive.org/details/feature_films'),
    ('精选电影', 'CCTV-8 电视剧', 'https://tv.cctv.com/live/cctv8/'),
    ('精选电影', 'NFB 加拿大国家电影局', 'https://www.nfb.ca/'),
    ('精选电影', 'Pluto TV 电影', 'https://pluto.tv/live-tv');

-- 个性电视
INSERT INTO radio (类别, 名称, 网址) VALUES
    ('个性电视', 'CCTV-9 纪录', 'https://tv.cctv.com/live/cctv9/'),
    ('个性电视', 'CCTV-10 科教', 'https://tv.cctv.com/live/cctv10/'),
    ('个性电视', 'CCTV-11 戏曲', 'https://tv.cctv.com/live/cctv11/'),
    ('个性电视', 'CCTV-14 少儿', 'https://tv.cctv.com/live/cctv14/'),
    ('个性电视', 'CCTV-17 农业农村', 'https://tv.cctv.com/live/cctv17/'),
    ('个性电视', 'NASA+ 航天', 'https://plus.nasa.gov/'),
    ('个性电视', 'Explore 自然直播', 'https://explore.org/livecams');

-- 国内广播
INSERT INTO radio (类别, 名称, 网址) VALUES
    ('国内广播', '中国之声', 'http://ngcdn001.cnr.cn/live/zgzs/index.m3u8'),
    ('国内广播', '经济之声', 'http://ngcdn002.cnr.cn/live/jjzs/index.m3u8'),
    ('国内广播', '音乐之声', 'http://ngcdn003.cnr.cn/live/yyzs/index.m3u8'),
    ('国内广播', '经典音乐广播', 'http://ngcdn004.cnr.cn/live/dszs/index.m3u8'),
    ('国内广播', '中华之声', 'http://ngcdn005.cnr.cn/live/zhzs/index.m3u8'),
    ('国内广播', '神州之声', 'http://ngcdn006.cnr.cn/live/szzs/index.m3u8'),
    ('国内广播', '老年之声', 'http://ngcdn009.cnr.cn/live/lnzs/index.m3u8'),
    ('国内广播', '文艺之声', 'http://ngcdn010.cnr.cn/live/wyzs/index.m3u8');

-- 港台广播
INSERT INTO radio (类别, 名称, 网址) VALUES
    ('港台广播', '香港电台第一台', 'https://www.rthk.hk/radio/radio1'),
    ('港台广播', '香港电台第二台', 'https://www.rthk.hk/radio/radio2'),
    ('港台广播', '香港电台第三台 (英语)', 'https://www.rthk.hk/radio/radio3'),
    ('港台广播', '香港电台第四台', 'https://www.rthk.hk/radio/radio4'),
    ('港台广播', '香港电台第五台', 'https://www.rthk.hk/radio/radio5'),
    ('港台广播', '香港电台普通话台', 'https://www.rthk.hk/radio/pth'),
    ('港台广播', 'ICRT 台北国际社区广播', 'https://www.icrt.com.tw/'),
    ('港台广播', '国立教育广播电台', 'https://www.ner.gov.tw/');

-- 海外广播
INSERT INTO radio (类别, 名称, 网址) VALUES
    ('海外广播', 'BBC 国际广播 (英语)', 'https://www.bbc.co.uk/sounds/play/live:bbc_world_service'),
    ('海外广播', 'BBC 第四台', 'https://www.bbc.co.uk/sounds/play/live:bbc_radio_fourfm'),
    ('海外广播', 'RFI 法国国际广播', 'http://live02.rfi.fr/rfimonde-64.mp3'),
    ('海外广播', 'France Inter', 'https://icecast.radiofrance.fr/franceinter-midfi.mp3'),
    ('海外广播', 'France Culture', 'https://icecast.radiofrance.fr/franceculture-midfi.mp3'),
    ('海外广播', 'franceinfo 新闻台', 'https://icecast.radiofrance.fr/franceinfo-midfi.mp3'),
    ('海外广播', 'NHK 广播', 'https://www.nhk.or.jp/radio/'),
    ('海外广播', 'NPR 新闻', 'https://npr-ice.streamguys1.com/live.mp3');

-- 个性广播
INSERT INTO radio (类别, 名称, 网址) VALUES
    ('个性广播', 'FIP 法国混合音乐', 'https://icecast.radiofrance.fr/fip-midfi.mp3'),
    ('个性广播', 'FIP 爵士', 'https://icecast.radiofrance.fr/fipjazz-midfi.mp3'),
    ('个性广播', 'France Musique 古典', 'https://icecast.radiofrance.fr/francemusique-midfi.mp3'),
    ('个性广播', 'Radio Paradise', 'https://stream.radioparadise.com/mp3-192'),
    ('个性广播', 'KEXP 西雅图', 'https://kexp-mp3-128.streamguys1.com/kexp128.mp3'),
    ('个性广播', 'SomaFM Groove Salad', 'https://ice1.somafm.com/groovesalad-128-mp3'),
    ('个性广播', 'SomaFM Drone Zone', 'https://ice1.somafm.com/dronezone-128-mp3'),
    ('个性广播', 'SomaFM 爵士', 'https://ice1.somafm.com/sonicuniverse-128-mp3');

-- 快速选台 (one station per slot, in slot order)
INSERT INTO radio (类别, 名称, 网址) VALUES
    ('快速选台一', 'CCTV-1 综合', 'https://tv.cctv.com/live/cctv1/'),
    ('快速选台二', 'CCTV-13 新闻', 'https://tv.cctv.com/live/cctv13/'),
    ('快速选台三', '中国之声', 'http://ngcdn001.cnr.cn/live/zgzs/index.m3u8'),
    ('快速选台四', '音乐之声', 'http://ngcdn003.cnr.cn/live/yyzs/index.m3u8'),
    ('快速选台五', '香港电台第一台', 'https://www.rthk.hk/radio/radio1'),
    ('快速选台六', 'BBC 国际广播 (英语)', 'https://www.bbc.co.uk/sounds/play/live:bbc_world_service'),
    ('快速选台七', 'NHK World 日本', 'https://www3.nhk.or.jp/nhkworld/en/live/'),
    ('快速选台八', 'Radio Paradise', 'https://stream.radioparadise.com/mp3-192'),
    ('快速选台九', 'FIP 法国混合音乐', 'https://icecast.radiofrance.fr/fip-midfi.mp3');
