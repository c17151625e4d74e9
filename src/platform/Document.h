#pragma once
// Document/view core: a document keeps its views in order and tells them about changes.

#include <cstddef>
#include <string>
#include <type_traits>
#include <vector>

class CArchive;
class CDocument;
class DeviceContext;

// The object a change is about, handed from a document to its views together with its type: a
// view asks for the type it handles and gets null for no object or one of another type. The type
// is the one the document names (a block is passed as a CBlock*, never as a derived class).
class UpdateObject {
  public:
    UpdateObject() = default;
    UpdateObject(std::nullptr_t) {}
    template <typename T>
    UpdateObject(T* object) : m_object(object), m_type(&kTypeTag<std::remove_cv_t<T>>) {}

    template <typename T> const T* As() const {
        return m_type == &kTypeTag<std::remove_cv_t<T>> ? static_cast<const T*>(m_object) : nullptr;
    }
    explicit operator bool() const { return m_object != nullptr; }

  private:
    template <typename T> static constexpr char kTypeTag = 0;
    const void* m_object = nullptr;
    const char* m_type = nullptr;
};

class CView {
  public:
    CView() = default;
    CView(const CView&) = delete;
    CView& operator=(const CView&) = delete;
    virtual ~CView();

    CDocument* GetDocument() const { return m_document; }

    // Called once when the view is first shown on its document.
    virtual void OnInitialUpdate() { OnUpdate(nullptr, 0, nullptr); }
    virtual void OnUpdate(CView* sender, long hint, UpdateObject object);
    virtual void OnDraw(DeviceContext& dc);
    virtual void Serialize(CArchive& ar);
    // The class name written before the view's record in a chart file; empty for views that
    // are never saved (the run window).
    virtual std::string GetViewClassName() const { return {}; }

  private:
    friend class CDocument;
    CDocument* m_document = nullptr;
};

class CDocument {
  public:
    CDocument() = default;
    CDocument(const CDocument&) = delete;
    CDocument& operator=(const CDocument&) = delete;
    virtual ~CDocument();

    // Views are not owned: whoever shows a view owns it. A destroyed view leaves its document.
    void AddView(CView* view);
    void RemoveView(CView* view);
    const std::vector<CView*>& Views() const { return m_views; }
    // Puts one of the document's views after all the others (the order views are saved in).
    void MoveViewToEnd(CView* view);

    void UpdateAllViews(CView* sender, long hint = 0, UpdateObject object = nullptr);

    bool IsModified() const { return m_modified; }
    void SetModifiedFlag(bool modified = true) { m_modified = modified; }

    const std::string& GetTitle() const { return m_title; }
    virtual void SetTitle(const std::string& title) { m_title = title; }
    const std::string& GetPathName() const { return m_pathName; }
    void SetPathName(const std::string& path) { m_pathName = path; }

    virtual bool OnNewDocument();
    virtual void Serialize(CArchive& ar);

  private:
    std::vector<CView*> m_views;
    bool m_modified = false;
    std::string m_title;
    std::string m_pathName;
};
