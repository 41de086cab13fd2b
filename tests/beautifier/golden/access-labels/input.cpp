class A
{
public:
A();
private:
int x;
};
