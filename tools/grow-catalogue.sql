-- Adds @stations stations to table radio, spread evenly over the ten categories of the browser panels and
-- interleaved, as merged playlists leave a catalogue. Names mix Chinese and Latin text and repeat: each
-- "音乐台 NNNNN" many times within one category (from 40,000 stations on), each "Radio N FM Live" once in every
-- category. Run by tools/make-catalogue and by the benchmarks.
WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < @stations)
INSERT INTO radio (类别, 名称, 网址)
SELECT CASE i % 10
           WHEN 1 THEN '国内电视' WHEN 2 THEN '港台电视' WHEN 3 THEN '海外电视' WHEN 4 THEN '精选音乐'
           WHEN 5 THEN '精选电影' WHEN 6 THEN '个性电视' WHEN 7 THEN '国内广播' WHEN 8 THEN '港台广播'
           WHEN 9 THEN '海外广播' ELSE '个性广播'
       END,
       CASE (i / 10) % 4
           WHEN 0 THEN '城市之声 ' || i || ' 频道'
           WHEN 1 THEN 'Radio ' || (i / 20) || ' FM Live'
           WHEN 2 THEN '音乐台 ' || printf('%05d', i % 40000)
           ELSE 'World Music Station ' || i
       END,
       'http://stream' || (i % 97) || '.example.org:8000/live/' || i || '/playlist.m3u8'
FROM n;
