<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<!-- A small translation for the tests: the menu titles and a few actions. -->
<TS version="2.1" language="ja_JP">
<context>
    <name>MarevaneClass</name>
    <message><source>&amp;System</source><translation>システム(&amp;S)</translation></message>
    <message><source>&amp;Graphics</source><translation>グラフィックス(&amp;G)</translation></message>
    <message><source>So&amp;und</source><translation>サウンド(&amp;U)</translation></message>
    <message><source>L&amp;og</source><translation>ログ(&amp;O)</translation></message>
    <message><source>&amp;Language</source><translation>言語(&amp;L)</translation></message>
    <message><source>&amp;Help</source><translation>ヘルプ(&amp;H)</translation></message>
</context>
<context>
    <name>Marevane::CMainWindow</name>
    <message><source>&amp;Quit</source><translation>終了(&amp;Q)</translation></message>
    <message><source>&amp;Mute</source><translation>ミュート(&amp;M)</translation></message>
</context>
</TS>
