<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ja" sourcelanguage="en">
<context>
    <name>CConfirmationItem</name>
    <message>
        <source>Yes</source>
        <translation>はい</translation>
    </message>
    <message>
        <source>No</source>
        <translation>いいえ</translation>
    </message>
</context>
<context>
    <name>CGameMapLayer</name>
    <message>
        <source>R</source>
        <translation>R</translation>
    </message>
    <message>
        <source>C</source>
        <translation>C</translation>
    </message>
</context>
<context>
    <name>CSelectionListItem</name>
    <message>
        <source>Cancel</source>
        <translation>キャンセル</translation>
    </message>
</context>
<context>
    <name>Marevane::CAdvancedRuleSettingsCollection</name>
    <message>
        <source>ON</source>
        <translation>オン</translation>
    </message>
    <message>
        <source>OFF</source>
        <translation>オフ</translation>
    </message>
    <message>
        <source>Unlimited</source>
        <translation>無制限</translation>
    </message>
    <message>
        <source>You can set a value in the range of </source>
        <translation>設定できる値の範囲は </translation>
    </message>
    <message>
        <source>Panel Effect</source>
        <translation>パネル効果</translation>
    </message>
    <message>
        <source>You can select whether the Panel Effect System is enabled.
When &quot;ON&quot;, this system is enabled. Some panels chosen at random may have effect on ships.
The default is &quot;ON&quot;.</source>
        <translation>パネル効果システムを有効にするかを選べます。
「オン」のとき、このシステムが有効になります。ランダムに選ばれたパネルが艦船に効果を及ぼすことがあります。
デフォルトは「オン」です。</translation>
    </message>
    <message>
        <source>Stealth Mode</source>
        <translation>ステルスモード</translation>
    </message>
    <message>
        <source>You can select whether the Stealth Mode is enabled.
When &quot;ON&quot;, submarines that is diving and ships on the Fog panel can hide their own Splash Information from the other player.
The default is &quot;ON&quot;.</source>
        <translation>ステルスモードを有効にするかを選べます。
「オン」のとき、潜航中の潜水艦と霧パネル上の艦船は、自分の水しぶき情報を相手から隠せます。
デフォルトは「オン」です。</translation>
    </message>
    <message>
        <source>Surfacing Cycle</source>
        <translation>浮上周期</translation>
    </message>
    <message>
        <source>The cycle of submarine&apos;s surfacing.
You can set the cycle of the rounds, at which submarines will surface.
The range of value is </source>
        <translation>潜水艦の浮上周期です。
潜水艦が浮上するラウンドの周期を設定できます。
値の範囲は </translation>
    </message>
    <message>
        <source>, the minimum value 0 means that submarines never surface.
</source>
        <translation> で、最小値 0 は潜水艦が浮上しないことを意味します。
</translation>
    </message>
    <message>
        <source>The default is </source>
        <translation>デフォルトは </translation>
    </message>
    <message>
        <source>Fleet Size</source>
        <translation>艦隊の規模</translation>
    </message>
    <message>
        <source>The number of the ships which players can command.
You can set a value in the range of </source>
        <translation>プレイヤーが指揮できる艦船の数です。
設定できる値の範囲は </translation>
    </message>
    <message>
        <source>, but cannot set the bigger value than total panels of the battle map.
</source>
        <translation> ですが、戦闘マップのパネル総数より大きな値は設定できません。
</translation>
    </message>
    <message>
        <source> (depends on the size of the battle map).</source>
        <translation> です(戦闘マップの大きさによります)。</translation>
    </message>
    <message>
        <source>Reserve Fleet Size</source>
        <translation>予備艦隊の規模</translation>
    </message>
    <message>
        <source>The number of the ships which players can reinforce.
You can set a value in the range of </source>
        <translation>プレイヤーが増援できる艦船の数です。
設定できる値の範囲は </translation>
    </message>
    <message>
        <source>Fuel Point</source>
        <translation>燃料ポイント</translation>
    </message>
    <message>
        <source>The Fuel Point (FP) of ships.
You can set a value in the range of </source>
        <translation>艦船の燃料ポイント(FP)です。
設定できる値の範囲は </translation>
    </message>
    <message>
        <source> or </source>
        <translation> または </translation>
    </message>
    <message>
        <source>The value </source>
        <translation>値 </translation>
    </message>
    <message>
        <source> is &quot;Unlimited&quot;, which means no limit for the count of normal actions (Move/Attack).
</source>
        <translation> は「無制限」で、通常行動(移動/攻撃)の回数に制限がありません。
</translation>
    </message>
    <message>
        <source>The default is about </source>
        <translation>デフォルトは約 </translation>
    </message>
    <message>
        <source>Destroyer Aux Weapon</source>
        <translation>駆逐艦の補助兵器</translation>
    </message>
    <message>
        <source>The number of the auxiliary weapons (torpedoes and mines) that destroyers can use.
</source>
        <translation>駆逐艦が使える補助兵器(魚雷と機雷)の数です。
</translation>
    </message>
    <message>
        <source>Submarine Aux Weapon</source>
        <translation>潜水艦の補助兵器</translation>
    </message>
    <message>
        <source>The number of the auxiliary weapons (torpedoes and mines) that submarines can use.
</source>
        <translation>潜水艦が使える補助兵器(魚雷と機雷)の数です。
</translation>
    </message>
    <message>
        <source>Log Page</source>
        <translation>ログページ</translation>
    </message>
    <message>
        <source>The page of the battle log which players can browse.
</source>
        <translation>プレイヤーが閲覧できる戦闘ログのページ数です。
</translation>
    </message>
</context>
<context>
    <name>Marevane::CArcadeStageScene</name>
    <message>
        <source>Stage </source>
        <translation>ステージ </translation>
    </message>
    <message>
        <source>Map  </source>
        <translation>マップ  </translation>
    </message>
</context>
<context>
    <name>Marevane::CBattleEndSequence</name>
    <message>
        <source>Request for a &quot;Replay&quot; is accepted.
Now preparing for a replay...</source>
        <translation>「リプレイ」の要求が承認されました。
リプレイの準備をしています...</translation>
    </message>
    <message>
        <source>&quot;Exit&quot; is selected.
Now going back the Title...</source>
        <translation>「終了」が選ばれました。
タイトルに戻ります...</translation>
    </message>
    <message>
        <source>Request for a &quot;Replay&quot; is rejected.
Now going back the Title...</source>
        <translation>「リプレイ」の要求は拒否されました。
タイトルに戻ります...</translation>
    </message>
</context>
<context>
    <name>Marevane::CBattleResultScene</name>
    <message>
        <source>All Play Stats</source>
        <translation>通算の戦績</translation>
    </message>
    <message>
        <source>Save Log</source>
        <translation>ログを保存</translation>
    </message>
    <message>
        <source>Replay</source>
        <translation>リプレイ</translation>
    </message>
    <message>
        <source>Exit</source>
        <translation>終了</translation>
    </message>
    <message>
        <source>Next Stage</source>
        <translation>次のステージ</translation>
    </message>
    <message>
        <source>Watch Again</source>
        <translation>もう一度観戦</translation>
    </message>
    <message>
        <source>Cancel Watching</source>
        <translation>観戦を取り消す</translation>
    </message>
    <message>
        <source>Cancel Replay</source>
        <translation>リプレイを取り消す</translation>
    </message>
    <message>
        <source>This battle ended.</source>
        <translation>この戦闘は終了しました。</translation>
    </message>
    <message>
        <source>Request for a &quot;Replay&quot; has been sent.
Wait until all players select a &quot;Replay&quot;...
(A replay will be canceled, if someone rejects it.)</source>
        <translation>「リプレイ」の要求を送りました。
全員が「リプレイ」を選ぶまでお待ちください...
（誰かが拒否すると、リプレイは取り消されます。）</translation>
    </message>
    <message>
        <source>Request for a &quot;Watch Again&quot; has been sent.
Wait until all players select a &quot;Replay&quot;...
(Watching will be canceled, if someone rejects it.)</source>
        <translation>「もう一度観戦」の要求を送りました。
全員が「リプレイ」を選ぶまでお待ちください...
（誰かが拒否すると、観戦は取り消されます。）</translation>
    </message>
    <message>
        <source>&quot;Watch Again&quot; has been canceled.
Now going back the Title...</source>
        <translation>「もう一度観戦」を取り消しました。
タイトルに戻ります...</translation>
    </message>
    <message>
        <source>&quot;Replay&quot; has been canceled.
Now going back the Title...</source>
        <translation>「リプレイ」を取り消しました。
タイトルに戻ります...</translation>
    </message>
    <message>
        <source>Current Stats</source>
        <translation>今回の戦績</translation>
    </message>
    <message>
        <source>Show statistics for all plays.</source>
        <translation>通算の戦績を表示します。</translation>
    </message>
    <message>
        <source>Show statistics for current battle.</source>
        <translation>今回の戦闘の戦績を表示します。</translation>
    </message>
    <message>
        <source>Saving the Log has failed.</source>
        <translation>ログを保存できませんでした。</translation>
    </message>
    <message>
        <source>Log was Saved</source>
        <translation>保存しました</translation>
    </message>
    <message>
        <source>Saving the Log has been completed.</source>
        <translation>ログの保存が完了しました。</translation>
    </message>
</context>
<context>
    <name>Marevane::CComputerLevelScene</name>
    <message>
        <source>Prev</source>
        <translation>戻る</translation>
    </message>
    <message>
        <source>Start</source>
        <translation>開始</translation>
    </message>
    <message>
        <source>The players could not be created: %1</source>
        <translation>プレイヤーを作成できませんでした: %1</translation>
    </message>
</context>
<context>
    <name>Marevane::CGUICore</name>
    <message>
        <source>Network Connection is Success.</source>
        <translation>ネットワークに接続しました。</translation>
    </message>
    <message>
        <source>Network Connection is Closed.</source>
        <translation>ネットワーク接続を終了しました。</translation>
    </message>
    <message>
        <source>Your Entry is Accepted.</source>
        <translation>エントリーが受理されました。</translation>
    </message>
    <message>
        <source>Your Entry is Accepted. You will join as an Audience.</source>
        <translation>エントリーが受理されました。観戦者として参加します。</translation>
    </message>
    <message>
        <source>Request is Accepted.</source>
        <translation>リクエストが受理されました。</translation>
    </message>
    <message>
        <source>Request is Rejected.</source>
        <translation>リクエストが拒否されました。</translation>
    </message>
    <message>
        <source>The Configuration of Player Data is Completed.</source>
        <translation>プレイヤーデータの設定が完了しました。</translation>
    </message>
    <message>
        <source>The Battle Starts.</source>
        <translation>戦闘を開始します。</translation>
    </message>
    <message>
        <source>The Battle Ends.</source>
        <translation>戦闘が終了しました。</translation>
    </message>
    <message>
        <source>The Current Turn Starts.</source>
        <translation>ターンを開始します。</translation>
    </message>
    <message>
        <source>The Current Turn Ends.</source>
        <translation>ターンを終了します。</translation>
    </message>
    <message>
        <source>Sends a Command.</source>
        <translation>コマンドを送信します。</translation>
    </message>
    <message>
        <source>Refreshes a Display Status.</source>
        <translation>表示を更新します。</translation>
    </message>
    <message>
        <source>Loading is canceled.</source>
        <translation>読み込みを中止しました。</translation>
    </message>
    <message>
        <source>Requests the Result of the current Turn.</source>
        <translation>現在のターンの結果を要求します。</translation>
    </message>
    <message>
        <source>Checks the End of the current Turn.</source>
        <translation>現在のターンの終了を確認します。</translation>
    </message>
    <message>
        <source>A Process Before Action.</source>
        <translation>行動前の処理です。</translation>
    </message>
    <message>
        <source>A Process After Action.</source>
        <translation>行動後の処理です。</translation>
    </message>
    <message>
        <source>There is no target to refuel.</source>
        <translation>補給できる艦がありません。</translation>
    </message>
    <message>
        <source>Poem Not So Bad.</source>
        <translation>まずまずの辞世の句だ。</translation>
    </message>
    <message>
        <source>Fine Poem.</source>
        <translation>見事な辞世の句だ。</translation>
    </message>
    <message>
        <source>Miserable Poem.</source>
        <translation>無様な辞世の句だ。</translation>
    </message>
    <message>
        <source>Command is Success.</source>
        <translation>コマンドが成功しました。</translation>
    </message>
    <message>
        <source>You have nothing to be able to command.</source>
        <translation>指揮できる艦がありません。</translation>
    </message>
    <message>
        <source>Input is valid.</source>
        <translation>入力は有効です。</translation>
    </message>
    <message>
        <source>Network Connection is Failed.
Please confirm your settings and retry to connect.
(Notice: Server has to be ready before client connects)</source>
        <translation>ネットワーク接続に失敗しました。
設定を確認して、もう一度接続してください。
（注意：クライアントが接続する前に、サーバーの準備を済ませておく必要があります）</translation>
    </message>
    <message>
        <source>Network Connection is Refused.
You are refused to connect by this server.
Please confirm your settings and retry to connect.</source>
        <translation>ネットワーク接続が拒否されました。
このサーバーへの接続は認められていません。
設定を確認して、もう一度接続してください。</translation>
    </message>
    <message>
        <source>Your Entry is Failed.
This server refused a request for battle with you.</source>
        <translation>エントリーに失敗しました。
このサーバーに対戦の申し込みを断られました。</translation>
    </message>
    <message>
        <source>The capacity of players is over on this battle.
The server might have selected the other rival.
Connection with the server will be closed...</source>
        <translation>この対戦のプレイヤー数が上限に達しています。
サーバーは別の対戦相手を選んだようです。
サーバーとの接続を終了します…</translation>
    </message>
    <message>
        <source>The capacity of connections is over.</source>
        <translation>接続数が上限に達しています。</translation>
    </message>
    <message>
        <source>Multi-Connection is Refused to prevent illegal action,
when this program has already connected to the same server.Please connect to other server.</source>
        <translation>不正防止のため、同じサーバーへの多重接続はできません。
このプログラムは既にこのサーバーに接続しています。別のサーバーに接続してください。</translation>
    </message>
    <message>
        <source>Watching this battle is prohibited. Audience Mode is disabled.
Connection will be closed.</source>
        <translation>この対戦の観戦は禁止されています。観戦モードは使えません。
接続を終了します。</translation>
    </message>
    <message>
        <source>Conditions of Battle Rule is mismatched.</source>
        <translation>対戦ルールの条件が一致しません。</translation>
    </message>
    <message>
        <source>Configuration of your player data is failed.</source>
        <translation>プレイヤーデータの設定に失敗しました。</translation>
    </message>
    <message>
        <source>This ship cannot move because it does not have enough fuel.</source>
        <translation>燃料が足りないため、この艦は移動できません。</translation>
    </message>
    <message>
        <source>This ship does not have enough fuel to pay additional cost when it moves for the distance you input.</source>
        <translation>入力した距離を移動するための追加コストを払えるだけの燃料が、この艦にはありません。</translation>
    </message>
    <message>
        <source>This ship cannot attack because it does not have enough fuel.</source>
        <translation>燃料が足りないため、この艦は攻撃できません。</translation>
    </message>
    <message>
        <source>This ship cannot fire a torpedo because it does not have enough fuel.</source>
        <translation>燃料が足りないため、この艦は魚雷を発射できません。</translation>
    </message>
    <message>
        <source>This ship cannot fire a torpedo because torpedoes on battle map amount to limitation.</source>
        <translation>戦場の魚雷が上限に達しているため、この艦は魚雷を発射できません。</translation>
    </message>
    <message>
        <source>You cannot reinforce this ship because it does not have enough fuel.</source>
        <translation>燃料が足りないため、この艦を増援できません。</translation>
    </message>
    <message>
        <source>This ship cannot refuel because it does not have enough fuel.</source>
        <translation>燃料が足りないため、この艦は補給できません。</translation>
    </message>
    <message>
        <source>Command is failed. Please retry to input it.</source>
        <translation>コマンドに失敗しました。もう一度入力してください。</translation>
    </message>
    <message>
        <source>Input is invalid.</source>
        <translation>入力が正しくありません。</translation>
    </message>
    <message>
        <source>Input of command type is invalid.</source>
        <translation>コマンドの種類が正しくありません。</translation>
    </message>
    <message>
        <source>Input of ship number is invalid.</source>
        <translation>艦の番号が正しくありません。</translation>
    </message>
    <message>
        <source>This ship you select has been already sunk.</source>
        <translation>選んだ艦は既に沈没しています。</translation>
    </message>
    <message>
        <source>Input of direction is invalid.</source>
        <translation>方向が正しくありません。</translation>
    </message>
    <message>
        <source>Input of distance is invalid.</source>
        <translation>距離が正しくありません。</translation>
    </message>
    <message>
        <source>Ships cannot move to this panel.</source>
        <translation>このパネルには移動できません。</translation>
    </message>
    <message>
        <source>Other ship has been already placed on this panel.</source>
        <translation>このパネルには既に他の艦が配置されています。</translation>
    </message>
    <message>
        <source>This ship you select cannot attack.</source>
        <translation>選んだ艦は攻撃できません。</translation>
    </message>
    <message>
        <source>You command to attack on invalid panel.</source>
        <translation>攻撃できないパネルが指定されました。</translation>
    </message>
    <message>
        <source>This ship you select cannot lay a mine.</source>
        <translation>選んだ艦は機雷を敷設できません。</translation>
    </message>
    <message>
        <source>You command to lay a mine on invalid panel.</source>
        <translation>機雷を敷設できないパネルが指定されました。</translation>
    </message>
    <message>
        <source>This ship you select cannot fire a torpedo.</source>
        <translation>選んだ艦は魚雷を発射できません。</translation>
    </message>
    <message>
        <source>You command to fire a torpedo into invalid panel.</source>
        <translation>魚雷を発射できないパネルが指定されました。</translation>
    </message>
    <message>
        <source>The length of your player name is invalid.</source>
        <translation>プレイヤー名の長さが正しくありません。</translation>
    </message>
    <message>
        <source>Your player name is the same as the other player who has already registered.</source>
        <translation>そのプレイヤー名は、既に登録された他のプレイヤーと同じです。</translation>
    </message>
    <message>
        <source>An Invalid Packet is received.</source>
        <translation>不正なパケットを受信しました。</translation>
    </message>
    <message>
        <source>Invalid Disconnection.
Either host may have operated this program incorrectly.</source>
        <translation>不正な切断です。
どちらかのホストでプログラムが正しく操作されなかった可能性があります。</translation>
    </message>
    <message>
        <source>An Incompatible Packet is received.
Please check that versions of softwares are correct.</source>
        <translation>互換性のないパケットを受信しました。
ソフトウェアのバージョンが正しいか確認してください。</translation>
    </message>
    <message>
        <source>Incompatible Data Format.</source>
        <translation>データ形式に互換性がありません。</translation>
    </message>
    <message>
        <source>: Undefined Message Code</source>
        <translation>: 未定義のメッセージコード</translation>
    </message>
    <message>
        <source>Mine: no weapon stock left.</source>
        <translation>機雷: 残弾がありません。</translation>
    </message>
    <message>
        <source>Torpedo: no weapon stock left.</source>
        <translation>魚雷: 残弾がありません。</translation>
    </message>
    <message>
        <source>Reinforce: the ship is not sunk.</source>
        <translation>増援: その艦は撃沈されていません。</translation>
    </message>
    <message>
        <source>Reinforce: no reinforcements left, or the side is defeated.</source>
        <translation>増援: 増援が残っていないか、陣営が敗北しています。</translation>
    </message>
    <message>
        <source>Reinforce: the round is above 20.</source>
        <translation>増援: ラウンドが 20 を超えています。</translation>
    </message>
    <message>
        <source>Reinforce: another afloat ship of the side stands on the return panel.</source>
        <translation>増援: 帰還パネルに味方の別の艦がいます。</translation>
    </message>
    <message>
        <source>Reinforce: the return panel is not known to the side.</source>
        <translation>増援: 帰還パネルが陣営に知られていません。</translation>
    </message>
    <message>
        <source>Reinforce: the return panel is a boundary panel or not passable.</source>
        <translation>増援: 帰還パネルが境界パネルか通行できません。</translation>
    </message>
    <message>
        <source>Refuel: the ship cannot refuel.</source>
        <translation>補給: その艦は補給できません。</translation>
    </message>
</context>
<context>
    <name>Marevane::CGameControl</name>
    <message>
        <source>The screen could not be started: %1</source>
        <translation>画面を開始できませんでした: %1</translation>
    </message>
</context>
<context>
    <name>Marevane::CMainWindow</name>
    <message>
        <source>&amp;Config</source>
        <translation>設定(&amp;C)</translation>
    </message>
    <message>
        <source>&amp;Quit</source>
        <translation>終了(&amp;Q)</translation>
    </message>
    <message>
        <source>Enable &amp;OpenGL</source>
        <translation>OpenGL を使う(&amp;O)</translation>
    </message>
    <message>
        <source>Enable &amp;Animation</source>
        <translation>アニメーションを使う(&amp;A)</translation>
    </message>
    <message>
        <source>&amp;Mute</source>
        <translation>ミュート(&amp;M)</translation>
    </message>
    <message>
        <source>&amp;BGM</source>
        <translation>BGM(&amp;B)</translation>
    </message>
    <message>
        <source>S&amp;E</source>
        <translation>効果音(&amp;E)</translation>
    </message>
    <message>
        <source>Open Log &amp;File</source>
        <translation>ログファイルを開く(&amp;F)</translation>
    </message>
    <message>
        <source>Open Log &amp;Directory</source>
        <translation>ログフォルダを開く(&amp;D)</translation>
    </message>
    <message>
        <source>About &amp;Marevane</source>
        <translation>Marevane について(&amp;M)</translation>
    </message>
    <message>
        <source>About &amp;Qt</source>
        <translation>Qt について(&amp;Q)</translation>
    </message>
    <message>
        <source>The settings could not be saved to %1.</source>
        <translation>設定を %1 に保存できませんでした。</translation>
    </message>
    <message>
        <source>Open Log File</source>
        <translation>ログファイルを開く</translation>
    </message>
    <message>
        <source>Log Files (*.log)</source>
        <translation>ログファイル (*.log)</translation>
    </message>
    <message>
        <source>Quit Marevane</source>
        <translation>Marevane の終了</translation>
    </message>
    <message>
        <source>Do you want to quit Marevane?</source>
        <translation>Marevane を終了しますか?</translation>
    </message>
    <message>
        <source>About Marevane</source>
        <translation>Marevane について</translation>
    </message>
    <message>
        <source>We use these libraries: Qt, cereal, Crypto++</source>
        <translation>使用しているライブラリ: Qt, cereal, Crypto++</translation>
    </message>
</context>
<context>
    <name>Marevane::CPlayerSettingsScene</name>
    <message>
        <source>Exit</source>
        <translation>終了</translation>
    </message>
    <message>
        <source>Next</source>
        <translation>次へ</translation>
    </message>
    <message>
        <source>MAN</source>
        <translation>人間</translation>
    </message>
    <message>
        <source>CPU</source>
        <translation>CPU</translation>
    </message>
    <message>
        <source>Player Name</source>
        <translation>プレイヤー名</translation>
    </message>
    <message>
        <source>Input your player name. The length of the name is up to 17 characters.</source>
        <translation>プレイヤー名を入力してください。名前は 17 文字までです。</translation>
    </message>
    <message>
        <source>Command Mode</source>
        <translation>コマンドモード</translation>
    </message>
    <message>
        <source>Select the command mode.
Manual: you input command by yourself.
Auto: commands are automatically inputted.
Audience: you watch the battle.</source>
        <translation>コマンドモードを選んでください。
手動: コマンドを自分で入力します。
自動: コマンドが自動で入力されます。
観戦: 戦闘を観戦します。</translation>
    </message>
    <message>
        <source>Network Mode</source>
        <translation>ネットワークモード</translation>
    </message>
    <message>
        <source>Select the network mode.
One player must select &quot;Server&quot;, and the others must select &quot;Client&quot;.
The clients have to know the server&apos;s IP address.
If you play offline, select &quot;Server&quot;.</source>
        <translation>ネットワークモードを選んでください。
1 人のプレイヤーが「サーバー」を、ほかのプレイヤーは「クライアント」を選ぶ必要があります。
クライアントはサーバーの IP アドレスを知っている必要があります。
オフラインで遊ぶときは「サーバー」を選んでください。</translation>
    </message>
    <message>
        <source>Select the number of players in the battle.
</source>
        <translation>戦闘に参加するプレイヤーの人数を選んでください。
</translation>
    </message>
    <message>
        <source>The range of value is </source>
        <translation>値の範囲は </translation>
    </message>
    <message>
        <source> players.
</source>
        <translation> 人です。
</translation>
    </message>
    <message>
        <source>In a single match, the default is </source>
        <translation>シングルマッチのデフォルトは </translation>
    </message>
    <message>
        <source>In a tag match, the value is </source>
        <translation>タッグマッチでは </translation>
    </message>
    <message>
        <source> or </source>
        <translation> または </translation>
    </message>
    <message>
        <source>Number of Players</source>
        <translation>プレイヤー数</translation>
    </message>
    <message>
        <source>Select the type of other players.
</source>
        <translation>ほかのプレイヤーの種類を選んでください。
</translation>
    </message>
    <message>
        <source>MAN is human player (the network connection required).
</source>
        <translation>人間は人間のプレイヤーです(ネットワーク接続が必要です)。
</translation>
    </message>
    <message>
        <source>CPU is AI player.</source>
        <translation>CPU はコンピューターのプレイヤーです。</translation>
    </message>
    <message>
        <source>Manual</source>
        <translation>手動</translation>
    </message>
    <message>
        <source>Auto</source>
        <translation>自動</translation>
    </message>
    <message>
        <source>Server</source>
        <translation>サーバー</translation>
    </message>
    <message>
        <source>Client</source>
        <translation>クライアント</translation>
    </message>
    <message>
        <source>Audience</source>
        <translation>観戦</translation>
    </message>
    <message>
        <source>Error: Please input your Player Name!</source>
        <translation>エラー: プレイヤー名を入力してください!</translation>
    </message>
    <message>
        <source>Error: the Length of your Player Name is invalid.
Please input it again!</source>
        <translation>エラー: プレイヤー名の長さが正しくありません。
もう一度入力してください!</translation>
    </message>
</context>
<context>
    <name>Marevane::CRuleSettingsCollection</name>
    <message>
        <source>ON</source>
        <translation>オン</translation>
    </message>
    <message>
        <source>OFF</source>
        <translation>オフ</translation>
    </message>
    <message>
        <source>Unlimited</source>
        <translation>無制限</translation>
    </message>
    <message>
        <source>You can select the strength of a computer player.
</source>
        <translation>コンピューターの強さを選べます。
</translation>
    </message>
    <message>
        <source>&quot; is weakest.
</source>
        <translation>&quot; が最も弱く、
</translation>
    </message>
    <message>
        <source>&quot; is strongest.
</source>
        <translation>&quot; が最も強いです。
</translation>
    </message>
    <message>
        <source>The default is &quot;</source>
        <translation>デフォルトは &quot;</translation>
    </message>
    <message>
        <source>&quot;.</source>
        <translation>&quot; です。</translation>
    </message>
    <message>
        <source>Select the condition to decide winner(s) or loser(s).
</source>
        <translation>勝者・敗者を決める条件を選んでください。
</translation>
    </message>
    <message>
        <source>: To be superior your rival(s) (*default).
</source>
        <translation>: 相手より優勢になる(*デフォルト)。
</translation>
    </message>
    <message>
        <source>: To wipe out your rival(s).
</source>
        <translation>: 相手を全滅させる。
</translation>
    </message>
    <message>
        <source>: To defeat the flagship of your rival(s).</source>
        <translation>: 相手の旗艦を撃沈する。</translation>
    </message>
    <message>
        <source>: To survive until the limit of rounds (only VS Computer Mode).</source>
        <translation>: ラウンド制限まで生き残る(対コンピューターモードのみ)。</translation>
    </message>
    <message>
        <source>: To save the fleet of your friendly army so as not to be wiped out (only Tag Match Mode).</source>
        <translation>: 味方の艦隊を全滅させずに守る(タッグマッチモードのみ)。</translation>
    </message>
    <message>
        <source>
Below are Round Limit Missions:
</source>
        <translation>
以下はラウンド制限ミッションです:
</translation>
    </message>
    <message>
        <source> or </source>
        <translation> または </translation>
    </message>
    <message>
        <source>You can change the size of the battle map.
</source>
        <translation>戦闘マップの大きさを変更できます。
</translation>
    </message>
    <message>
        <source>The row of it can be selected from </source>
        <translation>行数は </translation>
    </message>
    <message>
        <source> panels to </source>
        <translation> パネルから </translation>
    </message>
    <message>
        <source> panels.
</source>
        <translation> パネルまで選べます。
</translation>
    </message>
    <message>
        <source>The column of it can be also selected from </source>
        <translation>列数も </translation>
    </message>
    <message>
        <source>The default is Row=</source>
        <translation>デフォルトは 行=</translation>
    </message>
    <message>
        <source> x Column=</source>
        <translation> x 列=</translation>
    </message>
    <message>
        <source> size.</source>
        <translation> の大きさです。</translation>
    </message>
    <message>
        <source>The limit of time (time control).
You can change the amount of time given to each player to think from 1 minute to 600 minutes.
The value 0 is &quot;Unlimited&quot;, which means no limit for time to think.
</source>
        <translation>持ち時間です。
各プレイヤーの思考時間を 1 分から 600 分まで変更できます。
値 0 は「無制限」で、思考時間に制限がありません。
</translation>
    </message>
    <message>
        <source>The default is </source>
        <translation>デフォルトは </translation>
    </message>
    <message>
        <source> minutes.</source>
        <translation> 分です。</translation>
    </message>
    <message>
        <source>The limit of rounds.
Rounds of a play are limited in certain missions.
The range of values is </source>
        <translation>ラウンドの制限です。
一部のミッションではラウンド数が制限されます。
値の範囲は </translation>
    </message>
    <message>
        <source> rounds when the the battle map is a default size.</source>
        <translation> ラウンドです(戦闘マップがデフォルトの大きさのとき)。</translation>
    </message>
    <message>
        <source>You can select whether it allows audience to watch the play.
</source>
        <translation>観戦者に対戦の観戦を許可するかを選べます。
</translation>
    </message>
    <message>
        <source>The default of the Arcade/Versus-Computer Mode is &quot;OFF&quot;. Of the Versus-Network Mode, &quot;ON&quot;.
</source>
        <translation>アーケード/対コンピューターモードのデフォルトは「オフ」、対ネットワークモードでは「オン」です。
</translation>
    </message>
    <message>
        <source>Select &quot;OFF&quot; if you want to prevent cheating on the Versus-Network Mode.</source>
        <translation>対ネットワークモードで不正を防ぎたいときは「オフ」を選んでください。</translation>
    </message>
    <message>
        <source>Computer Level</source>
        <translation>コンピューターレベル</translation>
    </message>
    <message>
        <source>Mission</source>
        <translation>ミッション</translation>
    </message>
    <message>
        <source>Row</source>
        <translation>行</translation>
    </message>
    <message>
        <source>Col</source>
        <translation>列</translation>
    </message>
    <message>
        <source>Map Size</source>
        <translation>マップサイズ</translation>
    </message>
    <message>
        <source>Time Limit</source>
        <translation>持ち時間</translation>
    </message>
    <message>
        <source>Round Limit</source>
        <translation>ラウンド制限</translation>
    </message>
    <message>
        <source>Permission For Audience</source>
        <translation>観戦の許可</translation>
    </message>
</context>
<context>
    <name>Marevane::CRuleSettingsSequence</name>
    <message>
        <source>Set up the Battle Rules, if you change them.</source>
        <translation>変更する場合は、戦闘のルールを設定してください。</translation>
    </message>
</context>
<context>
    <name>Marevane::CSettingsButtonCollection</name>
    <message>
        <source>Default</source>
        <translation>デフォルト</translation>
    </message>
    <message>
        <source>Advanced Settings</source>
        <translation>詳細設定</translation>
    </message>
    <message>
        <source>Next</source>
        <translation>次へ</translation>
    </message>
    <message>
        <source>Prev</source>
        <translation>戻る</translation>
    </message>
</context>
<context>
    <name>Marevane::CSystemConfigScene</name>
    <message>
        <source>OFF</source>
        <translation>オフ</translation>
    </message>
    <message>
        <source>ON</source>
        <translation>オン</translation>
    </message>
    <message>
        <source>Disable</source>
        <translation>無効</translation>
    </message>
    <message>
        <source>Enable</source>
        <translation>有効</translation>
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
        <translation>デフォルト</translation>
    </message>
    <message>
        <source>Apply</source>
        <translation>適用</translation>
    </message>
    <message>
        <source>Please restart the program to apply the change completely.</source>
        <translation>変更を完全に反映するには、プログラムを再起動してください。</translation>
    </message>
    <message>
        <source>To work this option, &quot;Sound&quot; option needs to be &quot;ON&quot; (the master volume needs to be unmuted).</source>
        <translation>この設定を有効にするには、「サウンド」を「オン」にする(マスター音量のミュートを解除する)必要があります。</translation>
    </message>
    <message>
        <source>The minimum value is 0(=Mute). The maximum value is 100.
</source>
        <translation>最小値は 0(=ミュート)、最大値は 100 です。
</translation>
    </message>
    <message>
        <source>You can change the path of the directory in which logs are saved.
If the textbox is empty, logs are saved in the directory of this program.</source>
        <translation>ログを保存するフォルダーのパスを変更できます。
テキストボックスが空の場合、ログはこのプログラムのフォルダーに保存されます。</translation>
    </message>
    <message>
        <source>Current Log Path: </source>
        <translation>現在のログパス: </translation>
    </message>
    <message>
        <source>Sound</source>
        <translation>サウンド</translation>
    </message>
    <message>
        <source>You can change the sound volume.
When you select &quot;ON&quot;, the sound is played. When &quot;OFF&quot;, the sound is muted.
At &quot;Sound&quot; option, the master volume of all sounds(BGM and SE) is changed.
If &quot;Sound&quot; option is &quot;OFF&quot;, all sounds are muted.
At &quot;BGM&quot; and &quot;SE&quot; option, each volume is changed.</source>
        <translation>サウンドの音量を変更できます。
「オン」を選ぶと音が鳴り、「オフ」を選ぶとミュートされます。
「サウンド」では、すべての音(BGM と SE)のマスター音量が変わります。
「サウンド」が「オフ」のときは、すべての音がミュートされます。
「BGM」と「SE」では、それぞれの音量が変わります。</translation>
    </message>
    <message>
        <source>BGM</source>
        <translation>BGM</translation>
    </message>
    <message>
        <source>You can change the only BGM volume.
</source>
        <translation>BGM の音量だけを変更できます。
</translation>
    </message>
    <message>
        <source>The default value is 80.
</source>
        <translation>デフォルト値は 80 です。
</translation>
    </message>
    <message>
        <source>SE</source>
        <translation>SE</translation>
    </message>
    <message>
        <source>You can change the only SE volume.
</source>
        <translation>SE の音量だけを変更できます。
</translation>
    </message>
    <message>
        <source>The default value is 100.
</source>
        <translation>デフォルト値は 100 です。
</translation>
    </message>
    <message>
        <source>Animation</source>
        <translation>アニメーション</translation>
    </message>
    <message>
        <source>You can enable or disable the battle animations.</source>
        <translation>戦闘アニメーションの有効・無効を切り替えられます。</translation>
    </message>
    <message>
        <source>OpenGL</source>
        <translation>OpenGL</translation>
    </message>
    <message>
        <source>You can enable or disable the OpenGL.
Select &quot;OFF&quot; if a problem occurs or you want to reduce memory usage.</source>
        <translation>OpenGL の有効・無効を切り替えられます。
問題が起きたときやメモリー使用量を減らしたいときは「オフ」を選んでください。</translation>
    </message>
    <message>
        <source>Language</source>
        <translation>言語</translation>
    </message>
    <message>
        <source>You can change the display language of this program.</source>
        <translation>このプログラムの表示言語を変更できます。</translation>
    </message>
    <message>
        <source>Log Path</source>
        <translation>ログパス</translation>
    </message>
    <message>
        <source>The log folder does not exist:
%1</source>
        <translation>ログフォルダーがありません:
%1</translation>
    </message>
    <message>
        <source>The log folder cannot be written to:
%1</source>
        <translation>ログフォルダーに書き込めません:
%1</translation>
    </message>
    <message>
        <source>Select Directory</source>
        <translation>フォルダーの選択</translation>
    </message>
</context>
<context>
    <name>Marevane::CTagTeamSelectionScene</name>
    <message>
        <source>Select at Random</source>
        <translation>ランダムに選択</translation>
    </message>
    <message>
        <source>Player: </source>
        <translation>プレイヤー: </translation>
    </message>
    <message>
        <source>Host: </source>
        <translation>ホスト: </translation>
    </message>
    <message>
        <source>Command: </source>
        <translation>コマンド: </translation>
    </message>
</context>
<context>
    <name>Marevane::CTagTeamSelectionSequence</name>
    <message>
        <source>All tag teams were formed. the members of each team are as follows:
</source>
        <translation>全てのタッグチームが結成されました。各チームのメンバーは次の通りです:
</translation>
    </message>
    <message>
        <source>Team </source>
        <translation>チーム </translation>
    </message>
    <message>
        <source>It goes on next step....</source>
        <translation>次のステップへ進みます....</translation>
    </message>
    <message>
        <source>Now waiting for the response from the server...</source>
        <translation>サーバーからの応答を待っています...</translation>
    </message>
    <message>
        <source>Select the member of your team.

</source>
        <translation>チームのメンバーを選択してください。

</translation>
    </message>
    <message>
        <source>The member will be decided at random if the player whom you select does not hope to team up with you.</source>
        <translation>選択したプレイヤーがあなたとのチームを希望しない場合、メンバーはランダムに決定されます。</translation>
    </message>
    <message>
        <source>Now waiting for the request from clients...</source>
        <translation>クライアントからの要求を待っています...</translation>
    </message>
    <message>
        <source>Network is disconnected unexpectedly.
It goes back to previous process....</source>
        <translation>ネットワークが予期せず切断されました。
前の処理に戻ります....</translation>
    </message>
</context>
<context>
    <name>Marevane::CMessageScene</name>
    <message>
        <source>Latest</source>
        <translation>最新</translation>
    </message>
</context>
<context>
    <name>Marevane::CShipProfileItem</name>
    <message>
        <source>Cost</source>
        <translation>コスト</translation>
    </message>
    <message>
        <source>HP</source>
        <translation>HP</translation>
    </message>
    <message>
        <source>FP</source>
        <translation>FP</translation>
    </message>
    <message>
        <source>Aux</source>
        <translation>補助</translation>
    </message>
</context>
<context>
    <name>Marevane::CShipStatusCollection</name>
    <message>
        <source>Current Status: </source>
        <translation>現在の状態: </translation>
    </message>
    <message>
        <source>Current Panel: </source>
        <translation>現在のパネル: </translation>
    </message>
    <message>
        <source>Ship Ability: </source>
        <translation>艦の能力: </translation>
    </message>
    <message>
        <source>none</source>
        <translation>なし</translation>
    </message>
</context>
<context>
    <name>Marevane::CStatsListCollection</name>
    <message>
        <source>&apos;s Battle Statistics</source>
        <translation>の戦績</translation>
    </message>
</context>
<context>
    <name>Marevane::CStatusDetailScene</name>
    <message>
        <source>Current Stats</source>
        <translation>今回の戦績</translation>
    </message>
    <message>
        <source>All Play Stats</source>
        <translation>通算の戦績</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>閉じる</translation>
    </message>
    <message>
        <source>Ship Status</source>
        <translation>艦の状態</translation>
    </message>
    <message>
        <source>Player Status</source>
        <translation>プレイヤーの状態</translation>
    </message>
    <message>
        <source>Player: </source>
        <translation>プレイヤー: </translation>
    </message>
</context>
<context>
    <name>Marevane::StandIn::CPlaceholderScene</name>
    <message>
        <source>Esc: quit      Alt: the menus</source>
        <translation>Esc: 終了      Alt: メニュー</translation>
    </message>
    <message>
        <source>This screen comes later. Esc: back</source>
        <translation>この画面は準備中です。Esc: 戻る</translation>
    </message>
</context>
<context>
    <name>MarevaneClass</name>
    <message>
        <source>Marevane</source>
        <translation>Marevane</translation>
    </message>
    <message>
        <source>&amp;System</source>
        <translation>システム(&amp;S)</translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <translation>ヘルプ(&amp;H)</translation>
    </message>
    <message>
        <source>&amp;Language</source>
        <translation>言語(&amp;L)</translation>
    </message>
    <message>
        <source>L&amp;og</source>
        <translation>ログ(&amp;O)</translation>
    </message>
    <message>
        <source>&amp;Graphics</source>
        <translation>グラフィックス(&amp;G)</translation>
    </message>
    <message>
        <source>So&amp;und</source>
        <translation>サウンド(&amp;U)</translation>
    </message>
</context>
<context>
    <name>QObject</name>
    <message>
        <source>Attack Command</source>
        <translation>攻撃コマンド</translation>
    </message>
    <message>
        <source>Attacks a panel which is next to this ship. A rival&apos;s ship can be damaged if it is on the panel you attacked, or you can be informed that rival&apos;s ships find a splash if it is around there.</source>
        <translation>この艦に隣接するパネルを攻撃します。攻撃したパネルに敵艦がいれば損害を与えられます。その周りに敵艦がいれば、水柱が上がったことを知らされる場合もあります。</translation>
    </message>
    <message>
        <source>Move Command</source>
        <translation>移動コマンド</translation>
    </message>
    <message>
        <source>Moves on the game map. According to distance and a ship type, moving ship requires additional FP cost.</source>
        <translation>マップ上を移動します。移動する艦には、距離と艦種に応じて追加のFPコストがかかります。</translation>
    </message>
    <message>
        <source>Mine Command</source>
        <translation>機雷コマンド</translation>
    </message>
    <message>
        <source>Lays a mine, which can be damaged when a ship(including yours) moves to. it is laid on adjacent and central panels, it is invisible to both a rival and yourself.</source>
        <translation>機雷を敷設します。機雷のあるパネルに艦（自軍の艦も含む）が移動すると損害を受けます。隣接するパネルと中央のパネルに敷設でき、敵からも自分からも見えません。</translation>
    </message>
    <message>
        <source>Torpedo Command</source>
        <translation>魚雷コマンド</translation>
    </message>
    <message>
        <source>Fires a torpedo, which can attack at long range. After firing, it moves by one panel each end of your turn, then it will explode and attack on a target panel when it reaches there.</source>
        <translation>魚雷を発射します。遠くのパネルを攻撃できます。発射後はターンが終わるたびに1パネルずつ進み、目標のパネルに届くと爆発してそのパネルを攻撃します。</translation>
    </message>
    <message>
        <source>Reinforcement</source>
        <translation>増援</translation>
    </message>
    <message>
        <source>Reinforces a ship if it is now sunk and leaves required FP. The round you can reinforce is limited, and required FP increases as rounds pass.</source>
        <translation>沈没した艦を、必要なFPを払って補充します。増援できるラウンドには限りがあり、ラウンドが進むにつれて必要なFPが増えます。</translation>
    </message>
    <message>
        <source>Resignation</source>
        <translation>降伏</translation>
    </message>
    <message>
        <source>You give up the game for lost.</source>
        <translation>負けを認めてゲームを放棄します。</translation>
    </message>
    <message>
        <source>Change of Flagship</source>
        <translation>旗艦変更</translation>
    </message>
    <message>
        <source>Changes your flagship. But up to 3 times.</source>
        <translation>旗艦を変更します。ただし3回までです。</translation>
    </message>
    <message>
        <source>Pass your turn.</source>
        <translation>ターンをパスします。</translation>
    </message>
    <message>
        <source>Unknown Panel</source>
        <translation>未知のパネル</translation>
    </message>
    <message>
        <source>Unexplored panel. A player doesn&apos;t still know what type it is.</source>
        <translation>未探索のパネルです。プレイヤーはまだ種類を知りません。</translation>
    </message>
    <message>
        <source>Sea Panel</source>
        <translation>海パネル</translation>
    </message>
    <message>
        <source>Normal panel. This panel has no effect on ships.</source>
        <translation>通常のパネルです。艦に何の影響も与えません。</translation>
    </message>
    <message>
        <source>Reef Panel</source>
        <translation>岩礁パネル</translation>
    </message>
    <message>
        <source>Obstacle panel. A ship cannot pass, or be placed on this panel.</source>
        <translation>障害物のパネルです。艦は通過することも、配置されることもできません。</translation>
    </message>
    <message>
        <source>Shallow Panel</source>
        <translation>浅瀬パネル</translation>
    </message>
    <message>
        <source>Submarine surfaces forcibly. The stealth state of Submarine is disabled continuously on this panel.</source>
        <translation>潜水艦は強制的に浮上します。このパネルにいる間、潜水艦のステルス状態は無効になります。</translation>
    </message>
    <message>
        <source>Fog Panel</source>
        <translation>霧パネル</translation>
    </message>
    <message>
        <source>The stealth state is enabled for all types of ships on this panel.</source>
        <translation>このパネルでは、すべての艦種がステルス状態になります。</translation>
    </message>
    <message>
        <source>High Wave Panel</source>
        <translation>高波パネル</translation>
    </message>
    <message>
        <source>A ship loses 5FP in addition, when it passes or is placed on this panel.</source>
        <translation>このパネルを通過するか、このパネルに配置されると、艦はさらに5FPを失います。</translation>
    </message>
    <message>
        <source>Battleship</source>
        <translation>戦艦</translation>
    </message>
    <message>
        <source>High durability, low attack cost. A suitable ship type for close combat.</source>
        <translation>耐久力が高く、攻撃のコストが低い艦種です。接近戦に向いています。</translation>
    </message>
    <message>
        <source>Destroyer</source>
        <translation>駆逐艦</translation>
    </message>
    <message>
        <source>Multirole, well balanced type, this type can lay a mine and fire a torpedo.</source>
        <translation>バランスの取れた多用途の艦種です。機雷の敷設と魚雷の発射ができます。</translation>
    </message>
    <message>
        <source>Submarine</source>
        <translation>潜水艦</translation>
    </message>
    <message>
        <source>Stealth when diving, this type doesn&apos;t give a lot of hints about itself to other player.</source>
        <translation>潜航中はステルス状態になり、他のプレイヤーに自分の手がかりをほとんど与えません。</translation>
    </message>
    <message>
        <source>Oiler</source>
        <translation>補給艦</translation>
    </message>
    <message>
        <source>Support ship, this type can recovery FP of other ships around itself.</source>
        <translation>支援艦です。周りにいる他の艦のFPを回復できます。</translation>
    </message>
    <message>
        <source>Undefined</source>
        <translation>未定義</translation>
    </message>
    <message>
        <source>Attack</source>
        <translation>攻撃</translation>
    </message>
    <message>
        <source>Move</source>
        <translation>移動</translation>
    </message>
    <message>
        <source>Mine</source>
        <translation>機雷</translation>
    </message>
    <message>
        <source>Torpedo</source>
        <translation>魚雷</translation>
    </message>
    <message>
        <source>Reinforce</source>
        <translation>増援</translation>
    </message>
    <message>
        <source>Refuel</source>
        <translation>補給</translation>
    </message>
    <message>
        <source>Resign</source>
        <translation>降伏</translation>
    </message>
    <message>
        <source>Change Flagship</source>
        <translation>旗艦変更</translation>
    </message>
    <message>
        <source>North</source>
        <translation>北</translation>
    </message>
    <message>
        <source>East</source>
        <translation>東</translation>
    </message>
    <message>
        <source>West</source>
        <translation>西</translation>
    </message>
    <message>
        <source>South</source>
        <translation>南</translation>
    </message>
    <message>
        <source>Northeast</source>
        <translation>北東</translation>
    </message>
    <message>
        <source>Northwest</source>
        <translation>北西</translation>
    </message>
    <message>
        <source>Southeast</source>
        <translation>南東</translation>
    </message>
    <message>
        <source>Southwest</source>
        <translation>南西</translation>
    </message>
    <message>
        <source>Center</source>
        <translation>中央</translation>
    </message>
    <message>
        <source>Normal</source>
        <translation>通常</translation>
    </message>
    <message>
        <source>Stealth</source>
        <translation>ステルス</translation>
    </message>
    <message>
        <source>Stealth Disabled</source>
        <translation>ステルス無効</translation>
    </message>
    <message>
        <source>Fuel Shortage</source>
        <translation>燃料不足</translation>
    </message>
    <message>
        <source>Sinking</source>
        <translation>沈没</translation>
    </message>
    <message>
        <source>Unknown</source>
        <translation>不明</translation>
    </message>
    <message>
        <source>Sea</source>
        <translation>海</translation>
    </message>
    <message>
        <source>Reef</source>
        <translation>岩礁</translation>
    </message>
    <message>
        <source>Shallow</source>
        <translation>浅瀬</translation>
    </message>
    <message>
        <source>Fog</source>
        <translation>霧</translation>
    </message>
    <message>
        <source>High Wave</source>
        <translation>高波</translation>
    </message>
    <message>
        <source>Get Sea Control</source>
        <translation>制海権獲得</translation>
    </message>
    <message>
        <source>Wipe Out</source>
        <translation>殲滅</translation>
    </message>
    <message>
        <source>Defeat Flagship</source>
        <translation>旗艦撃破</translation>
    </message>
    <message>
        <source>Reconnaissance</source>
        <translation>偵察</translation>
    </message>
    <message>
        <source>Assault</source>
        <translation>強襲</translation>
    </message>
    <message>
        <source>Raid</source>
        <translation>奇襲</translation>
    </message>
    <message>
        <source>Rapid Decisive</source>
        <translation>短期決戦</translation>
    </message>
    <message>
        <source>Pullout</source>
        <translation>撤退</translation>
    </message>
    <message>
        <source>Rescue (Sea Control)</source>
        <translation>救援（制海権）</translation>
    </message>
    <message>
        <source>Rescue (Wipe Out)</source>
        <translation>救援（殲滅）</translation>
    </message>
    <message>
        <source>Rescue (Flagship)</source>
        <translation>救援（旗艦）</translation>
    </message>
    <message>
        <source>Rescue (Recon)</source>
        <translation>救援（偵察）</translation>
    </message>
    <message>
        <source>Rescue (Assault)</source>
        <translation>救援（強襲）</translation>
    </message>
    <message>
        <source>Rescue (Raid)</source>
        <translation>救援（奇襲）</translation>
    </message>
    <message>
        <source>Rescue (Decisive)</source>
        <translation>救援（決戦）</translation>
    </message>
    <message>
        <source>Rescue (Pullout)</source>
        <translation>救援（撤退）</translation>
    </message>
    <message>
        <source>Rescue</source>
        <translation>救援</translation>
    </message>
    <message>
        <source>Deadline</source>
        <translation>デッドライン</translation>
    </message>
    <message>
        <source>Survival</source>
        <translation>サバイバル</translation>
    </message>
    <message>
        <source>Watching</source>
        <translation>観戦</translation>
    </message>
    <message>
        <source>Manual</source>
        <translation>手動</translation>
    </message>
    <message>
        <source>Auto</source>
        <translation>自動</translation>
    </message>
    <message>
        <source>Server</source>
        <translation>サーバー</translation>
    </message>
    <message>
        <source>Client</source>
        <translation>クライアント</translation>
    </message>
    <message>
        <source> hour</source>
        <translation>時間</translation>
    </message>
    <message>
        <source> hours</source>
        <translation>時間</translation>
    </message>
    <message>
        <source> min</source>
        <translation>分</translation>
    </message>
    <message>
        <source> sec</source>
        <translation>秒</translation>
    </message>
    <message>
        <source>Attack Count</source>
        <translation>攻撃回数</translation>
    </message>
    <message>
        <source> times</source>
        <translation>回</translation>
    </message>
    <message>
        <source>Attack Hit Count</source>
        <translation>命中回数</translation>
    </message>
    <message>
        <source>(Hit Rate</source>
        <translation>（命中率</translation>
    </message>
    <message>
        <source>%)</source>
        <translation>%）</translation>
    </message>
    <message>
        <source>Splash Frequency</source>
        <translation>水柱の頻度</translation>
    </message>
    <message>
        <source> times per attack</source>
        <translation>回／攻撃</translation>
    </message>
    <message>
        <source>Defeating Count</source>
        <translation>撃沈数</translation>
    </message>
    <message>
        <source> ships</source>
        <translation>隻</translation>
    </message>
    <message>
        <source>Torpedo Use Count</source>
        <translation>魚雷使用数</translation>
    </message>
    <message>
        <source> torpedoes</source>
        <translation>本</translation>
    </message>
    <message>
        <source>Mine Hit Count(you)</source>
        <translation>触雷数（自軍）</translation>
    </message>
    <message>
        <source> mines</source>
        <translation>個</translation>
    </message>
    <message>
        <source>Mine Hit Count(rival)</source>
        <translation>触雷数（敵軍）</translation>
    </message>
    <message>
        <source>Mine Removing Count(you)</source>
        <translation>機雷除去数（自軍）</translation>
    </message>
    <message>
        <source>Mine Removing Count(rival)</source>
        <translation>機雷除去数（敵軍）</translation>
    </message>
    <message>
        <source>Move Count</source>
        <translation>移動回数</translation>
    </message>
    <message>
        <source>Move Distance All</source>
        <translation>総移動距離</translation>
    </message>
    <message>
        <source> panels</source>
        <translation>パネル</translation>
    </message>
    <message>
        <source>Reinforcement Count</source>
        <translation>増援回数</translation>
    </message>
    <message>
        <source>Refueling Count</source>
        <translation>補給回数</translation>
    </message>
    <message>
        <source>Refueling Sum</source>
        <translation>総補給量</translation>
    </message>
    <message>
        <source> FP</source>
        <translation> FP</translation>
    </message>
    <message>
        <source>Flagship Change Count</source>
        <translation>旗艦変更回数</translation>
    </message>
    <message>
        <source>none</source>
        <translation>なし</translation>
    </message>
    <message>
        <source>- : - : - </source>
        <translation>- : - : - </translation>
    </message>
    <message>
        <source>Mine Use Count</source>
        <translation>機雷使用数</translation>
    </message>
    <message>
        <source>Rest of HP</source>
        <translation>残りHP</translation>
    </message>
    <message>
        <source> HP</source>
        <translation> HP</translation>
    </message>
    <message>
        <source>(Remaining Rate</source>
        <translation>（残存率</translation>
    </message>
    <message>
        <source>Rest of FP</source>
        <translation>残りFP</translation>
    </message>
    <message>
        <source>Exploration Rate</source>
        <translation>探索率</translation>
    </message>
    <message>
        <source>% (</source>
        <translation>%（</translation>
    </message>
    <message>
        <source> panels)</source>
        <translation>パネル）</translation>
    </message>
    <message>
        <source>Total Round Count</source>
        <translation>総ラウンド数</translation>
    </message>
    <message>
        <source> rounds</source>
        <translation>ラウンド</translation>
    </message>
    <message>
        <source>Expended Time</source>
        <translation>消費時間</translation>
    </message>
    <message>
        <source>Battle Count</source>
        <translation>対戦数</translation>
    </message>
    <message>
        <source> battles</source>
        <translation>戦</translation>
    </message>
    <message>
        <source>Win Count</source>
        <translation>勝利数</translation>
    </message>
    <message>
        <source> wins</source>
        <translation>勝</translation>
    </message>
    <message>
        <source>(Winning Percentage</source>
        <translation>（勝率</translation>
    </message>
    <message>
        <source>Score</source>
        <translation>スコア</translation>
    </message>
    <message>
        <source> points</source>
        <translation>点</translation>
    </message>
    <message>
        <source>Exploration Count</source>
        <translation>探索数</translation>
    </message>
</context>
<context>
    <name>Marevane::CFleetFormationSequence</name>
    <message>
        <source>You are now audience.</source>
        <translation>あなたは観戦者です。</translation>
    </message>
    <message>
        <source> ships you operate. </source>
        <translation>隻の艦を選んでください。</translation>
    </message>
    <message>
        <source>Select </source>
        <translation>選択 </translation>
    </message>
    <message>
        <source>You can drag &amp; drop a ship icon or click an item of the Ship List to select them.</source>
        <translation>艦のアイコンをドラッグ&amp;ドロップするか、艦のリストの項目をクリックして選びます。</translation>
    </message>
    <message>
        <source>It is permitted to select same types of ships. But Oiler cannot be selected as first ship(No.1 ship).</source>
        <translation>同じ種類の艦を複数選べます。ただし補給艦は1番艦には選べません。</translation>
    </message>
    <message>
        <source>Selecting your ships has been finished.</source>
        <translation>艦の選択が終わりました。</translation>
    </message>
    <message>
        <source>Wait for receiving client&apos;s data of fleet...</source>
        <translation>クライアントの艦隊データを待っています...</translation>
    </message>
    <message>
        <source>Now creating rival&apos;s data of fleet...</source>
        <translation>相手の艦隊データを作成しています...</translation>
    </message>
    <message>
        <source>Your ship data is not processed correctly.</source>
        <translation>艦のデータが正しく処理されませんでした。</translation>
    </message>
    <message>
        <source>Retry selecting your ships again.</source>
        <translation>もう一度艦を選んでください。</translation>
    </message>
    <message>
        <source>It goes back to previous process...</source>
        <translation>前の画面に戻ります...</translation>
    </message>
    <message>
        <source>Ship data has been deleted.</source>
        <translation>艦のデータを削除しました。</translation>
    </message>
    <message>
        <source>Now loading battle data from the server.
Wait until all players finish preparing...</source>
        <translation>サーバーから戦闘データを読み込んでいます。
すべてのプレイヤーの準備が終わるまでお待ちください...</translation>
    </message>
    <message>
        <source>Your ship data cannot be sent. Network may be disconnected.</source>
        <translation>艦のデータを送れません。ネットワークが切断された可能性があります。</translation>
    </message>
    <message>
        <source>Now loading battle data from the server. Wait until other players finish preparing...</source>
        <translation>サーバーから戦闘データを読み込んでいます。他のプレイヤーの準備が終わるまでお待ちください...</translation>
    </message>
</context>
<context>
    <name>Marevane::CShipSelectionScene</name>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Reset</source>
        <translation>リセット</translation>
    </message>
    <message>
        <source>Prev</source>
        <translation>戻る</translation>
    </message>
</context>
<context>
    <name>Marevane::CGameMapScene</name>
    <message>
        <source>You are not a player on this game.</source>
        <translation>あなたはこのゲームのプレイヤーではありません。</translation>
    </message>
    <message>
        <source>You cannot input a command currently.</source>
        <translation>現在コマンドを入力できません。</translation>
    </message>
    <message>
        <source>This panel is out of range.</source>
        <translation>このパネルは範囲外です。</translation>
    </message>
    <message>
        <source>You have no flagship.</source>
        <translation>旗艦がありません。</translation>
    </message>
    <message>
        <source>There is no selectable panel.</source>
        <translation>選択できるパネルがありません。</translation>
    </message>
    <message>
        <source>Please select a target panel.</source>
        <translation>目標のパネルを選んでください。</translation>
    </message>
    <message>
        <source>Do you resign?</source>
        <translation>投了しますか？</translation>
    </message>
    <message>
        <source>Do you pass your turn? If &quot;Yes&quot;, this turn ends.</source>
        <translation>パスしますか？「はい」でこのターンは終わります。</translation>
    </message>
    <message>
        <source>Is this panel the target?</source>
        <translation>このパネルを目標にしますか？</translation>
    </message>
    <message>
        <source>Resigning is canceled.</source>
        <translation>投了を取り消しました。</translation>
    </message>
    <message>
        <source>Passing is canceled.</source>
        <translation>パスを取り消しました。</translation>
    </message>
    <message>
        <source>Cost </source>
        <translation>コスト </translation>
    </message>
    <message>
        <source>Now Selected: </source>
        <translation>選択中: </translation>
    </message>
    <message>
        <source>End Turn</source>
        <translation>ターン終了</translation>
    </message>
    <message>
        <source>Press &quot;End Turn&quot; or Enter key, then your turn ends.
(it ends after </source>
        <translation>「ターン終了」かEnterキーでターンが終わります。
（</translation>
    </message>
    <message>
        <source> automatically)</source>
        <translation> 秒後に自動で終わります）</translation>
    </message>
    <message>
        <source>Yes</source>
        <translation>はい</translation>
    </message>
    <message>
        <source>No</source>
        <translation>いいえ</translation>
    </message>
    <message>
        <source>Please select a panel on which the ship is placed.</source>
        <translation>艦を配置するパネルを選んでください。</translation>
    </message>
    <message>
        <source>This is out of range of valid panels</source>
        <translation>有効なパネルの範囲外です</translation>
    </message>
    <message>
        <source>No more ships can be placed in this fleet.</source>
        <translation>この艦隊にはこれ以上艦を配置できません。</translation>
    </message>
    <message>
        <source>replaced</source>
        <translation>移動しました</translation>
    </message>
    <message>
        <source>placed</source>
        <translation>配置しました</translation>
    </message>
    <message>
        <source> at </source>
        <translation>を</translation>
    </message>
    <message>
        <source>As No.</source>
        <translation>No.</translation>
    </message>
    <message>
        <source> ship, the </source>
        <translation>番艦として</translation>
    </message>
    <message>
        <source> has been </source>
        <translation>に</translation>
    </message>
    <message>
        <source>.</source>
        <translation>。</translation>
    </message>
    <message>
        <source>Other ship has been already placed on this panel.</source>
        <translation>このパネルには既に他の艦が配置されています。</translation>
    </message>
    <message>
        <source>Changing position of this ship has been canceled.</source>
        <translation>この艦の位置の変更を取り消しました。</translation>
    </message>
    <message>
        <source>Logic Error: The placement has been canceled.</source>
        <translation>論理エラー: 配置を取り消しました。</translation>
    </message>
    <message>
        <source>Runtime Error: the input format may be invalid.</source>
        <translation>実行時エラー: 入力の形式が正しくない可能性があります。</translation>
    </message>
    <message>
        <source>Is it OK?</source>
        <translation>よろしいですか？</translation>
    </message>
    <message>
        <source>Select your flagship from the fleet.</source>
        <translation>艦隊から旗艦を選んでください。</translation>
    </message>
    <message>
        <source>Start Battle</source>
        <translation>戦闘開始</translation>
    </message>
    <message>
        <source>The battle starts from </source>
        <translation>戦闘は </translation>
    </message>
    <message>
        <source>&apos;s turn.</source>
        <translation>の手番から始まります。</translation>
    </message>
    <message>
        <source>Press &quot;Start Battle&quot; or Enter key to start this battle.</source>
        <translation>「戦闘開始」またはEnterキーで戦闘を始めます。</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Reset</source>
        <translation>リセット</translation>
    </message>
    <message>
        <source>Prev</source>
        <translation>戻る</translation>
    </message>
    <message>
        <source>Confirmation of Start</source>
        <translation>開始の確認</translation>
    </message>
    <message>
        <source>&apos;s turn starts.</source>
        <translation>のターンです。</translation>
    </message>
    <message>
        <source>&apos;s turn ends.</source>
        <translation>のターンが終わりました。</translation>
    </message>
    <message>
        <source>Wait until all players confirm that the battle starts...</source>
        <translation>全プレイヤーが戦闘開始を確認するまでお待ちください...</translation>
    </message>
    <message>
        <source>This battle will end.</source>
        <translation>この戦闘は終了します。</translation>
    </message>
</context>
<context>
    <name>Marevane::CCommandMenu</name>
    <message>
        <source>&amp;Attack</source>
        <translation>攻撃(&amp;A)</translation>
    </message>
    <message>
        <source>&amp;Move</source>
        <translation>移動(&amp;M)</translation>
    </message>
    <message>
        <source>&amp;Torpedo</source>
        <translation>魚雷(&amp;T)</translation>
    </message>
    <message>
        <source>M&amp;ine</source>
        <translation>機雷(&amp;I)</translation>
    </message>
    <message>
        <source>Change F&amp;lagship</source>
        <translation>旗艦変更(&amp;L)</translation>
    </message>
    <message>
        <source>&amp;Resign</source>
        <translation>投了(&amp;R)</translation>
    </message>
    <message>
        <source>&amp;Pass</source>
        <translation>パス(&amp;P)</translation>
    </message>
    <message>
        <source>&amp;Close</source>
        <translation>閉じる(&amp;C)</translation>
    </message>
    <message>
        <source>Au&amp;xiliary</source>
        <translation>補助兵装(&amp;X)</translation>
    </message>
    <message>
        <source>Rein&amp;force</source>
        <translation>増援(&amp;F)</translation>
    </message>
    <message>
        <source>Auxiliary Weapon Menu</source>
        <translation>補助兵装メニュー</translation>
    </message>
    <message>
        <source>Select an auxiliary weapon, with uses limited by the number.</source>
        <translation>補助兵装を選びます。使える回数には限りがあります。</translation>
    </message>
    <message>
        <source>Close the Command Menu.</source>
        <translation>コマンドメニューを閉じます。</translation>
    </message>
</context>
<context>
    <name>Marevane::CTimerBar</name>
    <message>
        <source>999:99:99</source>
        <translation>999:99:99</translation>
    </message>
</context>
<context>
    <name>Marevane::CTurnInfoBar</name>
    <message>
        <source>Round</source>
        <translation>ラウンド</translation>
    </message>
    <message>
        <source>Turn</source>
        <translation>ターン目</translation>
    </message>
</context>
<context>
    <name>Marevane::CBattleSequenceOnServer</name>
    <message>
        <source> inputted a command.</source>
        <translation>がコマンドを入力しました。</translation>
    </message>
    <message>
        <source> was not able to input a command.</source>
        <translation>はコマンドを入力できませんでした。</translation>
    </message>
</context>
<context>
    <name>Marevane::CConnectionListItem</name>
    <message>
        <source>Select</source>
        <translation>選択</translation>
    </message>
    <message>
        <source>Player: </source>
        <translation>プレイヤー: </translation>
    </message>
    <message>
        <source>Host: </source>
        <translation>ホスト: </translation>
    </message>
    <message>
        <source>Command: </source>
        <translation>コマンド: </translation>
    </message>
    <message>
        <source>IP Address: </source>
        <translation>IP アドレス: </translation>
    </message>
    <message>
        <source>Port: </source>
        <translation>ポート: </translation>
    </message>
    <message>
        <source>Default</source>
        <translation>デフォルト</translation>
    </message>
    <message>
        <source>Rule Condition: </source>
        <translation>ルール条件: </translation>
    </message>
    <message>
        <source>Match</source>
        <translation>一致</translation>
    </message>
    <message>
        <source>Mismatch</source>
        <translation>不一致</translation>
    </message>
</context>
<context>
    <name>Marevane::CNetworkConnectionScene</name>
    <message>
        <source>To Player Settings</source>
        <translation>プレイヤー設定へ</translation>
    </message>
    <message>
        <source>To Rule Settings</source>
        <translation>ルール設定へ</translation>
    </message>
    <message>
        <source>Connect</source>
        <translation>接続</translation>
    </message>
    <message>
        <source>Disconnect</source>
        <translation>切断</translation>
    </message>
    <message>
        <source>Reconnect</source>
        <translation>再接続</translation>
    </message>
    <message>
        <source>Detect</source>
        <translation>検出</translation>
    </message>
    <message>
        <source>Refresh</source>
        <translation>更新</translation>
    </message>
    <message>
        <source>Complete</source>
        <translation>完了</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>キャンセル</translation>
    </message>
    <message>
        <source>Default</source>
        <translation>デフォルト</translation>
    </message>
    <message>
        <source>Server Address:</source>
        <translation>サーバーアドレス:</translation>
    </message>
    <message>
        <source>Port:</source>
        <translation>ポート:</translation>
    </message>
    <message>
        <source>IP Address is empty.
Please input valid address.</source>
        <translation>IP アドレスが空です。
正しいアドレスを入力してください。</translation>
    </message>
    <message>
        <source>Server Port Number is invalid.
It is not permitted to select Wellknown Ports. Please select the other Port.</source>
        <translation>サーバーのポート番号が正しくありません。
ウェルノウンポートは選べません。別のポートを選んでください。</translation>
    </message>
    <message>
        <source>The request for battle has not been sent.
Network may be disconnected unexpectedly.
Please retry to connect.</source>
        <translation>対戦の申し込みを送信できませんでした。
ネットワークが予期せず切断された可能性があります。
もう一度接続してください。</translation>
    </message>
</context>
<context>
    <name>Marevane::CNetworkConnectionSequence</name>
    <message>
        <source>Now connecting to server. Please wait a while...</source>
        <translation>サーバーに接続しています。しばらくお待ちください…</translation>
    </message>
    <message>
        <source>Entry from you has been accepted by the server.
But you are audience in this battle.</source>
        <translation>あなたのエントリーはサーバーに受理されました。
ただし、この対戦では観戦者です。</translation>
    </message>
    <message>
        <source>Network Connection Refused.
You are refused to connect by this server.
Please confirm your settings and retry to connect.</source>
        <translation>ネットワーク接続が拒否されました。
このサーバーへの接続は認められていません。
設定を確認して、もう一度接続してください。</translation>
    </message>
    <message>
        <source>The server closed this network connection.
Please confirm your settings and retry to connect.</source>
        <translation>サーバーがこのネットワーク接続を終了しました。
設定を確認して、もう一度接続してください。</translation>
    </message>
    <message>
        <source>Entry from you has been accepted by the server.
Check server&apos;s data and rule settings, then push &quot;Select&quot; if you want to battle the server.

Notice: The rule settings of the server are prior to those of the client when there is mismatched condition.</source>
        <translation>あなたのエントリーはサーバーに受理されました。
サーバーのデータとルール設定を確認し、このサーバーと対戦するなら「選択」を押してください。

注意: 条件が一致しないときは、サーバーのルール設定がクライアントより優先されます。</translation>
    </message>
    <message>
        <source>Please change your name.</source>
        <translation>名前を変更してください。</translation>
    </message>
    <message>
        <source>Entry data has not been sent.
Network may be disconnected unexpectedly.
Please retry to connect.</source>
        <translation>エントリーデータを送信できませんでした。
ネットワークが予期せず切断された可能性があります。
もう一度接続してください。</translation>
    </message>
    <message>
        <source>Now detecting servers automatically...</source>
        <translation>サーバーを自動検出しています…</translation>
    </message>
    <message>
        <source>The detection is not complete.</source>
        <translation>検出を完了できませんでした。</translation>
    </message>
    <message>
        <source>The server has been found.
Check server&apos;s data and rule settings, then push &quot;Select&quot; if you want to battle the server.

Notice: The rule settings of the server are prior to those of the client when there is mismatched condition.</source>
        <translation>サーバーが見つかりました。
サーバーのデータとルール設定を確認し、このサーバーと対戦するなら「選択」を押してください。

注意: 条件が一致しないときは、サーバーのルール設定がクライアントより優先されます。</translation>
    </message>
    <message>
        <source>The server has not been found.
A server need to be ready before your detection.
Please wait for a while and retry to detect.</source>
        <translation>サーバーが見つかりませんでした。
検出の前にサーバーの準備を済ませておく必要があります。
しばらく待ってから、もう一度検出してください。</translation>
    </message>
    <message>
        <source>Wait until other players select a competitor/competitors...</source>
        <translation>他のプレイヤーが対戦相手を選ぶまでお待ちください…</translation>
    </message>
    <message>
        <source>This server responded a request for battle with you.
Now Loading player and settings data...</source>
        <translation>このサーバーが対戦の申し込みに応じました。
プレイヤーと設定のデータを読み込んでいます…</translation>
    </message>
    <message>
        <source>This server refused a request for battle with you.</source>
        <translation>このサーバーに対戦の申し込みを断られました。</translation>
    </message>
    <message>
        <source>This server refused a request for battle with you.
</source>
        <translation>このサーバーに対戦の申し込みを断られました。
</translation>
    </message>
    <message>
        <source>The server invited you as audience of their battle.
Now Loading player and settings data...</source>
        <translation>サーバーから観戦者として招待されました。
プレイヤーと設定のデータを読み込んでいます…</translation>
    </message>
    <message>
        <source>The server closed this network connection.
Please retry to connect or choose a different server.</source>
        <translation>サーバーがこのネットワーク接続を終了しました。
もう一度接続するか、別のサーバーを選んでください。</translation>
    </message>
    <message>
        <source>Battle data from the server could not be loaded.
Please retry to connect.</source>
        <translation>サーバーからの対戦データを読み込めませんでした。
もう一度接続してください。</translation>
    </message>
    <message>
        <source>Battle data has been loaded from the server. It goes on next step...</source>
        <translation>サーバーから対戦データを読み込みました。次の段階に進みます…</translation>
    </message>
    <message>
        <source>The current process has been canceled by the server.
Please select again.</source>
        <translation>現在の処理はサーバーによって中止されました。
もう一度選んでください。</translation>
    </message>
    <message>
        <source>An unexpected error occurred.
</source>
        <translation>予期しないエラーが起きました。
</translation>
    </message>
    <message>
        <source>Battle Rule Settings Detail
    </source>
        <translation>対戦ルール設定の詳細
    </translation>
    </message>
    <message>
        <source>Mission: </source>
        <translation>ミッション: </translation>
    </message>
    <message>
        <source>Map Size: Row=</source>
        <translation>マップの大きさ: 行=</translation>
    </message>
    <message>
        <source> x Col=</source>
        <translation> x 列=</translation>
    </message>
    <message>
        <source>Time Limit: </source>
        <translation>制限時間: </translation>
    </message>
    <message>
        <source> minutes    </source>
        <translation> 分    </translation>
    </message>
    <message>
        <source>Round Limit: </source>
        <translation>ラウンド制限: </translation>
    </message>
    <message>
        <source> rounds
    </source>
        <translation> ラウンド
    </translation>
    </message>
    <message>
        <source>Fuel Point: </source>
        <translation>燃料ポイント: </translation>
    </message>
    <message>
        <source>FP
    </source>
        <translation>FP
    </translation>
    </message>
    <message>
        <source>Permission for Audience: </source>
        <translation>観戦の許可: </translation>
    </message>
    <message>
        <source>Panel Effect System: </source>
        <translation>パネル効果システム: </translation>
    </message>
    <message>
        <source>Stealth Mode: </source>
        <translation>ステルスモード: </translation>
    </message>
    <message>
        <source>Surfacing Cycle: </source>
        <translation>浮上周期: </translation>
    </message>
    <message>
        <source>Fleet Size: </source>
        <translation>艦隊の規模: </translation>
    </message>
    <message>
        <source> ships    </source>
        <translation> 隻    </translation>
    </message>
    <message>
        <source>Reserve Fleet Size: </source>
        <translation>予備艦隊の規模: </translation>
    </message>
    <message>
        <source> ships
    </source>
        <translation> 隻
    </translation>
    </message>
    <message>
        <source>The Number of </source>
        <translation>使用できる</translation>
    </message>
    <message>
        <source> Auxiliary Weapons: </source>
        <translation>の補助兵器の数: </translation>
    </message>
    <message>
        <source> times
    </source>
        <translation> 回
    </translation>
    </message>
    <message>
        <source> times
</source>
        <translation> 回
</translation>
    </message>
    <message>
        <source>Connect to the other player with the Network.

</source>
        <translation>ネットワークで他のプレイヤーと接続します。

</translation>
    </message>
    <message>
        <source>Push the &quot;Connect&quot; button once you are ready.
</source>
        <translation>準備ができたら「接続」ボタンを押してください。
</translation>
    </message>
    <message>
        <source>If you are a client&apos;s player, input a server IP address.
You can also push &quot;Detect&quot; that is auto-detection of a server in the same network(LAN).
</source>
        <translation>クライアントのプレイヤーは、サーバーの IP アドレスを入力してください。
「検出」を押すと、同じネットワーク(LAN)のサーバーを自動で検出することもできます。
</translation>
    </message>
    <message>
        <source>If not needed, you don&apos;t have to change the port number from the &quot;Default&quot; to the other value.</source>
        <translation>必要がなければ、ポート番号を「デフォルト」から変える必要はありません。</translation>
    </message>
    <message>
        <source>Push the &quot;Select&quot; button once you decide the player you want to battle/watch.
</source>
        <translation>対戦/観戦したいプレイヤーを決めたら「選択」ボタンを押してください。
</translation>
    </message>
    <message>
        <source>The rule settings of the server are prior to those of the client when there is mismatched condition.</source>
        <translation>条件が一致しないときは、サーバーのルール設定がクライアントより優先されます。</translation>
    </message>
    <message>
        <source>If there is the player who doesn&apos;t want to battle with you, the process will be cancelled.</source>
        <translation>あなたとの対戦を望まないプレイヤーがいると、処理は中止されます。</translation>
    </message>
    <message>
        <source>The port cannot be used for waiting for clients.
Please select the other Port.</source>
        <translation>このポートではクライアントを待ち受けられません。
別のポートを選んでください。</translation>
    </message>
    <message>
        <source>Network has been disconnected.</source>
        <translation>ネットワークが切断されました。</translation>
    </message>
    <message>
        <source>Now waiting for connection from clients...</source>
        <translation>クライアントからの接続を待っています…</translation>
    </message>
    <message>
        <source>Server accepted the connection from a client.</source>
        <translation>サーバーがクライアントからの接続を受け付けました。</translation>
    </message>
    <message>
        <source>Now waiting for entry from clients...</source>
        <translation>クライアントからのエントリーを待っています…</translation>
    </message>
    <message>
        <source>Entry from the client has been accepted.
Check client&apos;s data and rule settings, then push &quot;Select&quot; if you want to battle the client.

Notice: The rule settings of the server are prior to those of the client when there is mismatched condition.</source>
        <translation>クライアントからのエントリーを受理しました。
クライアントのデータとルール設定を確認し、このクライアントと対戦するなら「選択」を押してください。

注意: 条件が一致しないときは、サーバーのルール設定がクライアントより優先されます。</translation>
    </message>
    <message>
        <source>Entry from the client has been rejected.
</source>
        <translation>クライアントからのエントリーを拒否しました。
</translation>
    </message>
    <message>
        <source>Entry from the client has been canceled.
</source>
        <translation>クライアントからのエントリーを取り消しました。
</translation>
    </message>
    <message>
        <source>
Please select the other player.</source>
        <translation>
別のプレイヤーを選んでください。</translation>
    </message>
    <message>
        <source>Confirmation Data has not been sent.
Connection with this client will be closed...</source>
        <translation>確認データを送信できませんでした。
このクライアントとの接続を終了します…</translation>
    </message>
    <message>
        <source> responded a request for battle with you.</source>
        <translation> が対戦の申し込みに応じました。</translation>
    </message>
    <message>
        <source>This client refused a request for battle with you.
The client might have not been able to accept your rule settings or have selected the other rival.
Connection with the client will be closed...</source>
        <translation>このクライアントに対戦の申し込みを断られました。
クライアントがあなたのルール設定を受け入れられなかったか、別の対戦相手を選んだようです。
クライアントとの接続を終了します…</translation>
    </message>
    <message>
        <source> disconnected from this server.</source>
        <translation> がこのサーバーから切断しました。</translation>
    </message>
    <message>
        <source>Not every selected player has entered this server.
Please select again.</source>
        <translation>選んだプレイヤーの一部がこのサーバーにエントリーしていません。
もう一度選んでください。</translation>
    </message>
    <message>
        <source>Battle data is now ready. It goes on next step...</source>
        <translation>対戦データの準備ができました。次の段階に進みます…</translation>
    </message>
    <message>
        <source>A player disconnected from this server before the battle.</source>
        <translation>対戦の前にプレイヤーがこのサーバーから切断しました。</translation>
    </message>
    <message>
        <source>You canceled the current process.
Please select again.</source>
        <translation>現在の処理を中止しました。
もう一度選んでください。</translation>
    </message>
</context>
</TS>
