#pragma once

#include "internet/Directory.h"
#include "runtime/Controls.h"
#include "runtime/Form.h"
#include "sqlite/Database.h"
#include "windows/forms/Forms.h"
#include "windows/netradio/SubscriptionKeeper.h"
#include "windows/netradio/Worker.h"

#include <QAbstractListModel>
#include <QListView>
#include <optional>

// The lines of a list of 网络电台: a text, a tooltip, and a grey colour for a station the last check found dead.
class Lines : public QAbstractListModel {
    Q_OBJECT

public:
    struct Line {
        QString text;
        QString tip;
        bool dead = false;
    };
    void setLines(std::vector<Line> lines);
    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;

private:
    std::vector<Line> lines_;
};

// 网络电台's lower part, 订阅: the subscribed playlists, what each holds, and their update and check. Built the first
// time the user unfolds it, never with the window: it is half the window's controls.
struct Following {
    explicit Following(Form& window);
    // Every control of it, to fold and unfold.
    std::vector<QWidget*> controls();

    QListView followed;      // the subscriptions: address, category, stations, last update and its result
    Label addressLabel;      // "网址："
    TextBox addressBox;      // address of a playlist to subscribe to
    Label followIntoLabel;   // "类别："
    ComboBox followIntoBox;  // 列表自带的分组, the panel categories and the slots
    Label subscribeButton;   // "添加订阅"
    Label updateButton;      // "立即更新": the subscription chosen
    Label updateAllButton;   // "全部更新"
    Label unsubscribeButton; // "取消订阅"
    Label checkButton;       // "检查该类别": checks the stations of followIntoBox's category
    Label stopCheck;         // "停止检查"
    Label followStatus;      // progress of an update or a check, and what came of it
    QListView stations;      // the stations of the subscription chosen, dead ones grey
    Lines followedLines;
    Lines stationLines;
};

// 网络电台: stations from the internet. Its upper part searches the community radio directory and adds the stations
// chosen into a category; its lower part, folded until 订阅 is clicked, lists the subscribed playlists, subscribes,
// updates and unsubscribes, lists the stations of the subscription chosen (those the last check found dead in grey)
// and checks a category. Nothing in it waits on the network or on a long write: searches and checks run on threads
// of their own, and every write goes through the subscription keeper, one after the other. Built at its first
// opening, never at start.
class net : public Form {
    Q_OBJECT

public:
    net(Forms& forms, SubscriptionKeeper& keeper);

    void Form_Load() override;
    // Lists the stations a search found, in the directory's order, in place of those listed before.
    void showResults(std::vector<Directory::Station> found);
    // Unfolds 订阅: the window grows to hold it, and the subscriptions are read.
    void followHeading_Click();

    Label moveHandle;                   // "移动": drags the window
    Label closeLabel;                   // "关闭": hides the window
    Label titleLabel;                   // "网络电台"
    Shape searchFrame;                  // frame round 搜索电台
    Shape followFrame;                  // frame round 订阅
    Label searchHeading;                // "搜索电台"
    Label nameLabel;                    // "名称："
    TextBox searchBox;                  // part of the station's name
    Label searchButton;                 // "搜索"
    Label stopSearch;                   // "停止": stops the search under way
    Label searchStatus;                 // 正在搜索…, 找到 n 个电台, or why the search failed
    Label countryLabel;                 // "国家："
    TextBox countryBox;                 // country code
    Label languageLabel;                // "语言："
    TextBox languageBox;                // language
    Label tagLabel;                     // "标签："
    TextBox tagBox;                     // tag
    QListView results;                  // the stations found, in the directory's order; several may be chosen
    Label intoLabel;                    // "类别："
    ComboBox intoBox;                   // the panel categories and the quick-select slots
    Label addButton;                    // "添加": adds the chosen stations
    Label followHeading;                // "订阅 ▼" while folded: unfolds 订阅
    std::optional<Following> following; // 订阅, once unfolded

private:
    void designForKeysAndScreenReaders();
    void connectHandlers();
    void designFollowing();
    void search();
    void addChosen();
    void subscribe();
    void updateChosen(bool all);
    void unsubscribe();
    void checkCategory();
    void listSubscriptions();
    void listStationsOfChosen();
    std::optional<qint64> chosenSubscription() const;
    // Tells a screen reader what a status line says now.
    void announce(Label& status, const QString& text);

    Forms& forms_;
    SubscriptionKeeper& keeper_;
    std::optional<Database> connection_;
    Worker searching_;
    Worker checking_;
    std::vector<Directory::Station> found_;
    std::vector<Subscriptions::Subscription> subscriptions_; // as followed lists them
    Lines resultLines_;
};

// A directory station as a line of the results: name, country, codec and bitrate, votes.
QString resultLine(const Directory::Station& station);
