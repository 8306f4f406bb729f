// The History and Compare commands of the Edit menu, which open their windows,
// and the line that tells when the automatic history cannot be kept. What is
// kept and when is the editor session's (session/EditorSession).
#pragma once

class Connection;
class EditorContent;
class NotebookPages;
class wxCommandEvent;
class wxWindow;

class HistoryCommands {
public:
    HistoryCommands(wxWindow& window, EditorContent& content, NotebookPages& pages, Connection& connection);
    HistoryCommands(const HistoryCommands&) = delete;
    HistoryCommands& operator=(const HistoryCommands&) = delete;

    // Binds the two menu commands on the window; once.
    void BindToFrame();

private:
    void OnHistory(wxCommandEvent& event);
    void OnCompare(wxCommandEvent& event);

    wxWindow& window;
    EditorContent& content;
    NotebookPages& pages;
    Connection& connection;
};
