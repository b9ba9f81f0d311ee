#include "TidyLayout.h"

#include "DescendantTree.h"

#include <algorithm>
#include <limits>

namespace {

// The working state of the layout: the persons of the tree plus one invisible top person (the
// last number) whose children are the top persons.
class Walker
{
public:
    Walker(const DescendantTree &tree, double distance)
        : m_tree(tree), m_distance(distance), m_root(tree.Count()), m_count(size_t(m_root) + 1),
          m_prelim(m_count, 0.0), m_mod(m_count, 0.0), m_shift(m_count, 0.0),
          m_change(m_count, 0.0), m_thread(m_count, -1), m_ancestor(m_count)
    {
        for (int v = 0; v <= m_root; ++v)
            m_ancestor[size_t(v)] = v;
    }

    TidyLayout run()
    {
        TidyLayout result;
        // Children come after their parent in the tree's order: walking it backwards finishes
        // every subtree before its parent is placed. The invisible top comes last.
        for (int v = m_root - 1; v >= 0; --v) {
            ++m_work;
            placeChildren(v);
        }
        placeChildren(m_root);
        result.x = secondWalk();
        result.work = m_work;
        return result;
    }

private:
    int parent(int v) const
    {
        if (v == m_root)
            return -1;
        const int p = m_tree.At(v).parent;
        return p < 0 ? m_root : p;
    }
    int firstChild(int v) const { return v == m_root ? 0 : m_tree.At(v).firstChild; }
    int childCount(int v) const
    {
        return v == m_root ? m_tree.TopCount() : m_tree.At(v).childCount;
    }
    int lastChild(int v) const { return firstChild(v) + childCount(v) - 1; }
    bool hasLeftSibling(int v) const { return v != firstChild(parent(v)); }
    int leftmostSibling(int v) const { return firstChild(parent(v)); }
    int nextLeft(int v) const { return childCount(v) > 0 ? firstChild(v) : m_thread[size_t(v)]; }
    int nextRight(int v) const { return childCount(v) > 0 ? lastChild(v) : m_thread[size_t(v)]; }
    // Position among its siblings.
    int number(int v) const { return v - firstChild(parent(v)); }

    // Places a person relative to its left sibling once its subtree is laid out. Until then the
    // preliminary place of a parent holds the midpoint of its children.
    void place(int v)
    {
        const bool leaf = childCount(v) == 0;
        const double midpoint = leaf ? 0.0 : m_prelim[size_t(v)];
        if (hasLeftSibling(v)) {
            m_prelim[size_t(v)] = m_prelim[size_t(v - 1)] + m_distance;
            if (!leaf)
                m_mod[size_t(v)] = m_prelim[size_t(v)] - midpoint;
        } else {
            m_prelim[size_t(v)] = midpoint;
        }
    }

    double midpointOfChildren(int v) const
    {
        return (m_prelim[size_t(firstChild(v))] + m_prelim[size_t(lastChild(v))]) / 2;
    }

    // The first walk's work for one person once the subtrees of its children are laid out:
    // each child is placed beside its left siblings and pushed clear of them.
    void placeChildren(int v)
    {
        if (childCount(v) == 0)
            return;
        int defaultAncestor = firstChild(v);
        for (int w = firstChild(v); w <= lastChild(v); ++w) {
            place(w);
            defaultAncestor = apportion(w, defaultAncestor);
        }
        executeShifts(v);
        m_prelim[size_t(v)] = midpointOfChildren(v);
    }

    int apportion(int v, int defaultAncestor)
    {
        if (!hasLeftSibling(v))
            return defaultAncestor;
        int vip = v, vop = v;
        int vim = v - 1;
        int vom = leftmostSibling(vip);
        double sip = m_mod[size_t(vip)], sop = m_mod[size_t(vop)];
        double sim = m_mod[size_t(vim)], som = m_mod[size_t(vom)];
        while (nextRight(vim) >= 0 && nextLeft(vip) >= 0) {
            ++m_work;
            vim = nextRight(vim);
            vip = nextLeft(vip);
            vom = nextLeft(vom);
            vop = nextRight(vop);
            m_ancestor[size_t(vop)] = v;
            const double shift =
                (m_prelim[size_t(vim)] + sim) - (m_prelim[size_t(vip)] + sip) + m_distance;
            if (shift > 0) {
                moveSubtree(ancestor(vim, v, defaultAncestor), v, shift);
                sip += shift;
                sop += shift;
            }
            sim += m_mod[size_t(vim)];
            sip += m_mod[size_t(vip)];
            som += m_mod[size_t(vom)];
            sop += m_mod[size_t(vop)];
        }
        if (nextRight(vim) >= 0 && nextRight(vop) < 0) {
            m_thread[size_t(vop)] = nextRight(vim);
            m_mod[size_t(vop)] += sim - sop;
        }
        if (nextLeft(vip) >= 0 && nextLeft(vom) < 0) {
            m_thread[size_t(vom)] = nextLeft(vip);
            m_mod[size_t(vom)] += sip - som;
            defaultAncestor = v;
        }
        return defaultAncestor;
    }

    int ancestor(int vim, int v, int defaultAncestor) const
    {
        const int a = m_ancestor[size_t(vim)];
        return parent(a) == parent(v) ? a : defaultAncestor;
    }

    void moveSubtree(int wm, int wp, double shift)
    {
        const double subtrees = number(wp) - number(wm);
        m_change[size_t(wp)] -= shift / subtrees;
        m_shift[size_t(wp)] += shift;
        m_change[size_t(wm)] += shift / subtrees;
        m_prelim[size_t(wp)] += shift;
        m_mod[size_t(wp)] += shift;
    }

    void executeShifts(int v)
    {
        double shift = 0, change = 0;
        for (int w = lastChild(v); w >= firstChild(v); --w) {
            ++m_work;
            m_prelim[size_t(w)] += shift;
            m_mod[size_t(w)] += shift;
            change += m_change[size_t(w)];
            shift += m_shift[size_t(w)] + change;
        }
    }

    // Final places: each person's preliminary place plus the modifiers of its ancestors. The
    // tree's order lists parents before children.
    std::vector<double> secondWalk()
    {
        const int n = m_root;
        std::vector<double> x(size_t(n), 0.0);
        if (n == 0)
            return x;
        // Reuse the shift array for the sum of the ancestors' modifiers.
        std::vector<double> &sum = m_shift;
        const double rootMod = m_mod[size_t(m_root)];
        double minX = std::numeric_limits<double>::max();
        for (int v = 0; v < n; ++v) {
            ++m_work;
            const int p = m_tree.At(v).parent;
            const double above = p < 0 ? rootMod : sum[size_t(p)] + m_mod[size_t(p)];
            sum[size_t(v)] = above;
            x[size_t(v)] = m_prelim[size_t(v)] + above;
            minX = std::min(minX, x[size_t(v)]);
        }
        for (double &value : x)
            value -= minX;
        return x;
    }

    const DescendantTree &m_tree;
    const double m_distance;
    const int m_root;
    const size_t m_count;
    std::vector<double> m_prelim, m_mod, m_shift, m_change;
    std::vector<int> m_thread, m_ancestor;
    qint64 m_work = 0;
};

} // namespace

TidyLayout TidyLayout::Run(const DescendantTree &tree, double distance)
{
    return Walker(tree, std::max(distance, 1.0)).run();
}
